#pragma once
#include "platform/PathStyle.h"

#include <string>
#include <string_view>
#include <vector>

// A list of file specs (wildcard patterns such as *.txt or
// docs\*.doc) and the matcher that tests member names against them. The
// archive view builds one from the user's choice of what to extract and hands
// it to the engine, which keeps its own copy for the run of an extraction.
//
// Matching ignores the case of A-Z only; a star crosses separators, and a
// backslash is an ordinary character, so it matches the separator of names
// in Windows form. In Windows style a slash is read as a backslash, in
// patterns and names alike, so that "docs/*" typed as other tar programs
// take it matches "docs\a.txt". A [ that is never closed makes a pattern
// match nothing.
class CWildCard
{
public:
    CWildCard() = default;
    CWildCard(const CWildCard&) = default;
    CWildCard& operator=(const CWildCard&) = default;
    CWildCard(CWildCard&&) = default;
    CWildCard& operator=(CWildCard&&) = default;
    virtual ~CWildCard() = default;

    // Appends the pattern with A-Z lowered and returns its index; -1,
    // adding nothing, when the lowered text is already held.
    int AddSpec(const std::string& spec);
    // Replaces the specs by these, exactly as given.
    void SetSpecs(const std::vector<std::string>& specs);
    void CopySpecs(const CWildCard& other);
    const std::vector<std::string>& GetSpecs() const { return m_specs; }

    // True when any spec matches the name (none does when the list is
    // empty), in the host's style. "*.*" and "*" match every name, even one
    // without a dot. All specs are tried; index, when given, receives the
    // last that matched and is left alone when none did.
    bool Match(std::string_view name, int* index = nullptr) const;

    // Whether the whole pattern matches the whole name in that style. Takes
    // time bounded by the product of the two lengths, whatever the pattern.
    static bool MatchOne(std::string_view pattern, std::string_view name,
                         EPathStyle style = kHostPathStyle);

private:
    std::vector<std::string> m_specs;
};

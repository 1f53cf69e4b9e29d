#include "engine/CWildCard.h"

#include <algorithm>
#include <array>

namespace
{

constexpr std::size_t kNoMatch = std::string_view::npos;

char Fold(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// In Windows style a slash is the separator too, so it compares as one.
char Fold(char c, EPathStyle style)
{
    return style == EPathStyle::Windows && c == '/' ? '\\' : Fold(c);
}

// Ranges order bytes as signed values, so bytes from 0x80 up sort below
// every ASCII character whatever the signedness of char on the host.
signed char Folded(char c, EPathStyle style)
{
    return static_cast<signed char>(Fold(c, style));
}

bool IsSpecAll(std::string_view spec)
{
    return spec == "*.*" || spec == "*";
}

bool InClass(std::string_view name, unsigned char c)
{
    const bool upper = c >= 'A' && c <= 'Z';
    const bool lower = c >= 'a' && c <= 'z';
    const bool digit = c >= '0' && c <= '9';
    const bool graph = c > ' ' && c < 0x7F;
    if (name == "alpha")
        return upper || lower;
    if (name == "digit")
        return digit;
    if (name == "alnum")
        return upper || lower || digit;
    if (name == "upper")
        return upper;
    if (name == "lower")
        return lower;
    if (name == "xdigit")
        return digit || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (name == "space")
        return c == ' ' || (c >= '\t' && c <= '\r');
    if (name == "blank")
        return c == ' ' || c == '\t';
    if (name == "punct")
        return graph && !upper && !lower && !digit;
    if (name == "graph")
        return graph;
    if (name == "print")
        return graph || c == ' ';
    return c < ' ' || c == 0x7F; // cntrl; the caller has checked the name
}

bool IsClassName(std::string_view name)
{
    static constexpr std::array<std::string_view, 12> kNames = {
        "alnum", "alpha", "blank", "cntrl", "digit", "graph",
        "lower", "print", "punct", "space", "upper", "xdigit"};
    return std::find(kNames.begin(), kNames.end(), name) != kNames.end();
}

// The set member at pattern[at] when it is a character class ("[:alpha:]"):
// sets end past it and returns true. A [: that does not end in :] after
// lower-case letters is no class, and its [ is an ordinary member.
bool ParseClass(std::string_view pattern, std::size_t at, std::size_t& end, std::string_view& name)
{
    if (pattern.substr(at, 2) != "[:")
        return false;
    std::size_t close = at + 2;
    while (close < pattern.size() && pattern[close] >= 'a' && pattern[close] <= 'z')
        ++close;
    if (pattern.substr(close, 2) != ":]")
        return false;
    name = pattern.substr(at + 2, close - at - 2);
    end = close + 2;
    return true;
}

// Tests c against the set whose [ stands at pattern[open]. Returns the
// position after the set's closing ], or kNoMatch when the set is never closed
// or names an unknown class: such a pattern matches no name at all.
std::size_t MatchSet(std::string_view pattern, std::size_t open, char c, EPathStyle style,
                     bool& inSet)
{
    std::size_t at = open + 1;
    const bool negated = at < pattern.size() && (pattern[at] == '!' || pattern[at] == '^');
    if (negated)
        ++at;
    const signed char folded = Folded(c, style);
    bool found = false;
    // A ] straight after the opening is a member, not the end.
    for (bool first = true; at < pattern.size() && (first || pattern[at] != ']'); first = false)
    {
        std::size_t end;
        std::string_view className;
        if (ParseClass(pattern, at, end, className))
        {
            if (!IsClassName(className))
                return kNoMatch;
            found = found || InClass(className, static_cast<unsigned char>(c));
            at = end;
        }
        else if (at + 2 < pattern.size() && pattern[at + 1] == '-' && pattern[at + 2] != ']')
        {
            found = found || (Folded(pattern[at], style) <= folded &&
                              folded <= Folded(pattern[at + 2], style));
            at += 3;
        }
        else
        {
            found = found || Folded(pattern[at], style) == folded;
            ++at;
        }
    }
    if (at >= pattern.size())
        return kNoMatch;
    inSet = found != negated;
    return at + 1;
}

} // namespace

int CWildCard::AddSpec(const std::string& spec)
{
    std::string lowered = spec;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return Fold(c); });
    if (std::find(m_specs.begin(), m_specs.end(), lowered) != m_specs.end())
        return -1;
    m_specs.push_back(std::move(lowered));
    return static_cast<int>(m_specs.size()) - 1;
}

void CWildCard::SetSpecs(const std::vector<std::string>& specs)
{
    m_specs = specs;
}

void CWildCard::CopySpecs(const CWildCard& other)
{
    m_specs = other.m_specs;
}

bool CWildCard::Match(std::string_view name, int* index) const
{
    bool matched = false;
    for (std::size_t i = 0; i < m_specs.size(); ++i)
    {
        if (IsSpecAll(m_specs[i]) || MatchOne(m_specs[i], name))
        {
            matched = true;
            if (index)
                *index = static_cast<int>(i);
        }
    }
    return matched;
}

// Every element but the star takes exactly one character, so when the text
// after a star fails, only the latest star needs to take one character more:
// an earlier star taking more could only lead to a position the latest star
// reaches by itself. Older stars are never revisited, and the latest one
// grows at most once per character of the name, which bounds the work by
// the product of the two lengths where plain backtracking is exponential.
bool CWildCard::MatchOne(std::string_view pattern, std::string_view name, EPathStyle style)
{
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t afterStar = kNoMatch; // the pattern position after the latest star
    std::size_t starEnd = 0;          // where the latest star's share of the name ends
    while (n < name.size())
    {
        if (p < pattern.size() && pattern[p] == '*')
        {
            afterStar = ++p;
            starEnd = n;
            continue;
        }
        if (p < pattern.size())
        {
            std::size_t next = p + 1;
            bool same = pattern[p] == '?';
            if (pattern[p] == '[')
            {
                next = MatchSet(pattern, p, name[n], style, same);
                if (next == kNoMatch)
                    return false;
            }
            else if (!same)
            {
                same = Fold(pattern[p], style) == Fold(name[n], style);
            }
            if (same)
            {
                p = next;
                ++n;
                continue;
            }
        }
        if (afterStar == kNoMatch)
            return false;
        p = afterStar;
        n = ++starEnd;
    }
    // The name is used up: only stars may be left.
    return pattern.find_first_not_of('*', p) == std::string_view::npos;
}

#pragma once
// The two forms a native path can take. Name conversions take the style as a
// parameter so both are exercised on every host; everything that walks a real
// path uses the host's.

enum class EPathStyle
{
    Windows, // backslash separators, drive letters; a colon ends a drive prefix
    Posix,   // slash separators; a colon is an ordinary character
};

#ifdef _WIN32
inline constexpr EPathStyle kHostPathStyle = EPathStyle::Windows;
#else
inline constexpr EPathStyle kHostPathStyle = EPathStyle::Posix;
#endif

inline constexpr char SeparatorOf(EPathStyle style)
{
    return style == EPathStyle::Windows ? '\\' : '/';
}

inline constexpr char kHostSeparator = SeparatorOf(kHostPathStyle);

#pragma once
// Message-box styles and answers under their Windows names and values. The
// front ends (GUI, terminal, test script) map them onto what they show.

inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_OKCANCEL = 0x01;
inline constexpr unsigned MB_YESNOCANCEL = 0x03;
inline constexpr unsigned MB_YESNO = 0x04;
inline constexpr unsigned MB_ICONSTOP = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
// The second button is the default: questions that guard against a slip of
// the Enter key make No the default.
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The integer thrown to cancel a running operation. Every layer lets it pass;
// the document's request handler swallows it.
inline constexpr int TAR_CANCEL = 10200;

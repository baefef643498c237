#pragma once

// Message box styles and answers with the values Windows gives them, so the Windows operator
// passes them through unchanged and the portable core needs no Windows header.
namespace box
{
constexpr unsigned kOk = 0x00000000;
constexpr unsigned kOkCancel = 0x00000001;
constexpr unsigned kYesNo = 0x00000004;
constexpr unsigned kIconWarning = 0x00000030;
constexpr unsigned kSetForeground = 0x00010000;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
} // namespace box

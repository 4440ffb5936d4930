// Internal error numbers. Deep failures that have no text of their own are
// thrown as a plain `unsigned int` holding one of these values; the error
// funnel of the entry points catches `unsigned int` and shows it in decimal.
#pragma once

// The host refused to tell us about its panel.
constexpr unsigned int kErrorPanelQueryRefused = 142134;
// A backup stream header announced a name of an odd number of bytes.
constexpr unsigned int kErrorOddStreamNameSize = 4090037;
// The backup walk lost its place between a header and its data.
constexpr unsigned int kErrorBackupWalkOutOfStep = 4090303;
// A buffer that a system call wrote into holds no terminating 0.
constexpr unsigned int kErrorBufferNotTerminated = 282217;
// A stream name could not be converted to 8-bit text.
constexpr unsigned int kErrorStreamNameConversion = 282229;

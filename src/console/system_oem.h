#pragma once
// The system's OEM code page for the output decoder.
#include "console/output_decoder.h"

namespace tarvo {

// Each byte as MultiByteToWideChar(CP_OEMCP) reads it alone; built once.
const OemTable& SystemOemTable();
// Through the table for single-byte OEM code pages; for double-byte ones the
// whole chunk goes to MultiByteToWideChar, so a character whose two bytes fall
// into different chunks is read as two.
OemDecoding SystemOemDecoding();

}  // namespace tarvo

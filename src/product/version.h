#pragma once
// The program's version, for the version resource and the version box alike.
#define KESTROVA_VERSION_BINARY 1, 0, 0, 0
#define KESTROVA_VERSION_RESOURCE "1.00"
#define KESTROVA_VERSION_DISPLAY "1.0.0"

#pragma once
// The program's version, shown in the file properties.

#define ZINGEL_VERSION_MAJOR 1
#define ZINGEL_VERSION_MINOR 0
#define ZINGEL_VERSION_PATCH 0
#define ZINGEL_VERSION_BUILD 0
#define ZINGEL_VERSION_STRING "1.0.0.0"

// The version that every program and resource of the Zentra tools carries.
#pragma once

#define ZENTRA_VERSION_TEXT "1.0.4378"
#define ZENTRA_VERSION_MAJOR 1
#define ZENTRA_VERSION_MINOR 0
#define ZENTRA_VERSION_BUILD 4378

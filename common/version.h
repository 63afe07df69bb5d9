#pragma once
// The suite's version: every program and language library carries it in its version
// resource (common/version_resource.rc), and the About box reads it back from there.
#define VANTORA_VERSION_MAJOR 1
#define VANTORA_VERSION_MINOR 4
#define VANTORA_VERSION_PATCH 0
#define VANTORA_VERSION_BUILD 0
#define VANTORA_VERSION_TEXT "1.4.0"
#define VANTORA_COMPANY_NAME "Vantora"
#define VANTORA_COPYRIGHT "Copyright (C) 2026 Vantora"

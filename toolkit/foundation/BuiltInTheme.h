// The built-in theme package that the program hands to the engine at start-up, generated at
// build time from tools/themes (library vennmark_builtin_theme). The bytes are the engine's
// business: the program passes their address unread.
#pragma once

extern const unsigned char kBuiltInThemePackage[];
extern const unsigned kBuiltInThemePackageSize;

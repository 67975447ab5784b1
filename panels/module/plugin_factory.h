// The plug-ins this library makes, by name.
#pragma once

class CQWBasePlugin;

// A new plug-in for a name (compared without regard to case), or null for a
// null or unknown name or when it cannot be made. The pointer is the
// object's CQWBasePlugin part, the one the host calls through.
CQWBasePlugin* CreatePluginByName(const char16_t* name);

// Stands in until the plug-in module arrives.
extern "C" __attribute__((visibility("default"))) void* GetPlugin(const char16_t*) { return nullptr; }
extern "C" __attribute__((visibility("default"))) void FreePlugin(void*) {}

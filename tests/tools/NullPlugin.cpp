// A stand-in plug-in whose entry point returns no effect.
extern "C" void* VSTPluginMain(void*) { return nullptr; }

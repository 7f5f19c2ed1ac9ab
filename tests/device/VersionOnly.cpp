// A device library that offers the version query but not the factory, for
// the loader's tests.

#include <cstdint>

extern "C" __attribute__((visibility("default"))) std::uint32_t GetLibraryVersion()
{
    return 0x00030004;
}

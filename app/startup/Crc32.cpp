#include "app/startup/Crc32.h"

namespace {

struct CrcTable {
    uint32_t entries[256];
    CrcTable()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[i] = c;
        }
    }
};

}  // namespace

uint32_t Crc32(const void* bytes, size_t length)
{
    static const CrcTable table;
    if (!bytes || length == 0)
        return 0;
    const uint8_t* p = (const uint8_t*)bytes;
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i)
        crc = table.entries[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

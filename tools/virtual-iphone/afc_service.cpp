// The virtual device's AFC endpoint: packet framing, device info, "not supported" for the rest.
#include "afc_service.h"

#include "device_registry.h"
#include "log.h"
#include "socket_io.h"

#include <cstring>

namespace vi {
namespace {

struct AfcHeader {
    char magic[8]; // "CFA6LPAA"
    uint64_t entireLength;
    uint64_t thisLength;
    uint64_t packetNum;
    uint64_t operation;
};
static_assert(sizeof(AfcHeader) == 40);

constexpr uint64_t kAfcOpStatus = 0x01;
constexpr uint64_t kAfcOpData = 0x02;
constexpr uint64_t kAfcOpGetDeviceInfo = 0x0B;
constexpr uint64_t kAfcErrOpNotSupported = 15;
constexpr uint64_t kAfcMaxPacket = 1024 * 1024;

bool sendPacket(int fd, uint64_t packetNum, uint64_t operation, const std::string &payload)
{
    AfcHeader h;
    std::memcpy(h.magic, "CFA6LPAA", 8);
    h.entireLength = sizeof h + payload.size();
    h.thisLength = sizeof h + payload.size();
    h.packetNum = packetNum;
    h.operation = operation;
    std::string out(reinterpret_cast<const char *>(&h), sizeof h);
    out += payload;
    return writeAll(fd, out.data(), out.size());
}

} // namespace

void serveAfc(Registry &registry, const std::shared_ptr<Device> &device, int fd)
{
    for (;;) {
        AfcHeader h;
        if (!readExact(fd, &h, sizeof h))
            return;
        if (std::memcmp(h.magic, "CFA6LPAA", 8) != 0 || h.thisLength < sizeof h || h.entireLength < h.thisLength
            || h.entireLength > kAfcMaxPacket) {
            logLine("afc: malformed packet, dropping connection");
            return;
        }
        std::string rest(h.entireLength - sizeof h, '\0');
        if (!readExact(fd, rest.data(), rest.size()))
            return;
        logLine(device->udid + " afc operation " + std::to_string(h.operation));
        bool ok;
        if (h.operation == kAfcOpGetDeviceInfo) {
            std::string model;
            {
                std::lock_guard lock(registry.mutex());
                auto &defaults = device->values[""];
                auto it = defaults.find("ProductType");
                if (it != defaults.end())
                    model = stringValue(it->second.get());
            }
            // Key and value strings, each NUL-terminated, as the device sends them.
            std::string info;
            for (const std::string &s : {std::string("Model"), model, std::string("FSTotalBytes"),
                                         std::string("63978983424"), std::string("FSFreeBytes"),
                                         std::string("22145724416"), std::string("FSBlockSize"), std::string("4096")})
                info += s + '\0';
            ok = sendPacket(fd, h.packetNum, kAfcOpData, info);
        } else {
            std::string status(sizeof(uint64_t), '\0');
            std::memcpy(status.data(), &kAfcErrOpNotSupported, sizeof(uint64_t));
            ok = sendPacket(fd, h.packetNum, kAfcOpStatus, status);
        }
        if (!ok)
            return;
    }
}

} // namespace vi

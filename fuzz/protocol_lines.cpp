// Feeds arbitrary bytes through the line cutter, the field reader and a dispatcher
// whose handlers read fields the way the game's handlers do.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/dispatch.h"
#include "protocol/framing.h"

using namespace quorbit::protocol;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Dispatcher dispatcher = [] {
        Dispatcher d;
        for (auto name : kClientDispatch) {
            d.add(name, [](FieldReader& r) {
                r.nextInt();
                (void)r.next();
                (void)r.rest();
            });
        }
        d.add("CMD_playerdone", [](FieldReader& r) {
            r.nextInt();
            r.beginList();
            for (int i = 0; i < 100 && !r.atListEnd(); ++i) {
                r.nextInt();
                r.nextInt();
                r.nextInt();
            }
        });
        return d;
    }();
    LineCutter cutter;
    std::vector<std::string> lines;
    // Two reads, cut in the middle, to exercise the kept tail.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    cutter.feed(bytes.substr(0, size / 2), lines);
    cutter.feed(bytes.substr(size / 2), lines);
    for (const auto& line : lines) dispatcher.dispatch(line);
    return 0;
}

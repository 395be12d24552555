// Input scripts: parsed whole, every event's fields read.

#include "fuzz/FuzzTarget.h"

#include "platform/InputScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    if (const auto script = platform::InputScript::parse(fuzz::bytes(data, size), error)) {
        uint32_t previous = 0;
        for (const auto& e : script->events()) {
            if (e.frame < previous) std::abort();  // frames never go back
            previous = e.frame;
            fuzz::sum(e.path.data(), e.path.size());
        }
    } else if (error.empty()) {
        std::abort();  // a refusal always says why
    }
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    return {"# start\n0 touch 1 300 500\n2 move 1 310 520\n3 release 1 310 520\n5 key 13\n",
            "1 pause\n9 resume\n10 keyboard shown\n11 keyboard hidden\n12 accel 0.1 -0.5 1\n14 shot a.png\n20 exit\n"};
}

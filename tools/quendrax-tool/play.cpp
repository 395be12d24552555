// `play FILE_OR_ARCHIVE[:MEMBER] [--seconds N]`: plays a sound through the audio engine into the
// output QUENDRAX_AUDIO chooses (wav:PATH writes what would be heard). Tracker modules (it, mod,
// xm, s3m) go to the module decoder the game registers; other sounds by their extension.

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "Tool.h"
#include "audio/FileSystemInterface.h"
#include "audio/KezEngine.h"
#include "audio/decoders/DecoderMod.h"
#include "audio/decoders/KezUtils.h"
#include "audio/decoders/SoundExtension.h"

namespace {

constexpr const char* kName = "play";

bool isModule(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == "it" || ext == "mod" || ext == "xm" || ext == "s3m";
}

int play(std::span<char* const> args) {
    if (args.empty()) return tool::fail(kName, "usage: play FILE_OR_ARCHIVE[:MEMBER] [--seconds N]");
    std::string target = args[0];
    double seconds = -1;
    for (size_t i = 1; i < args.size(); ++i) {
        if (!std::strcmp(args[i], "--seconds") && i + 1 < args.size()) {
            char* end = nullptr;
            seconds = std::strtod(args[++i], &end);
            if (!end || *end || !(seconds >= 0)) return tool::fail(kName, "--seconds wants a number of seconds");
        } else {
            return tool::fail(kName, std::string("unknown argument ") + args[i]);
        }
    }

    // "archive:member" when the part before the last ':' is a file and the whole is not.
    std::string archive, path = target;
    const size_t colon = target.rfind(':');
    std::error_code ec;
    if (colon != std::string::npos && !std::filesystem::is_regular_file(target, ec) &&
        std::filesystem::is_regular_file(target.substr(0, colon), ec)) {
        archive = target.substr(0, colon);
        path = target.substr(colon + 1);
    }

    const bool module = isModule(path);
    int type = kez::DecoderTypeFromExtension(path.c_str());
    if (type < 0 && !module) return tool::fail(kName, "no decoder for the extension of " + path);

    kez::KezEngine* engine = kez::KezEngine::GetKezEngine();
    engine->Initialize();
    auto finish = [](int code) {
        kez::KezEngine::DestroyKezEngine();
        kez::FileSystemInterface::DestroyInstance();
        return code;
    };
    if (!archive.empty() &&
        kez::FileSystemInterface::GetInstance()->SetArchive(archive.c_str(), true, false, true) != 0)
        return finish(tool::fail(kName, archive + " is not a sound archive"));

    if (module) type = engine->RegisterDecoderType(kez::DecoderModFactory);
    if (type < 0) return finish(tool::fail(kName, "the module decoder cannot be registered"));

    double duration = 0;
    {
        kez::DataHandle data = kez::KezUtils::LoadDataSourceFromFileEx(path.c_str(), type, kez::KezSourceLoadingFlags(0), 1);
        if (!engine->IsValid(data)) return finish(tool::fail(kName, "cannot load " + target));
        duration = engine->GetDuration(data);
        kez::EmitterHandle emitter = engine->CreateEmitter(data, 0, nullptr);
        if (!engine->IsValid(emitter)) return finish(tool::fail(kName, "cannot play " + target));
        const double limit = seconds >= 0 ? seconds : duration;
        std::printf("playing %s type=%d duration=%.3f seconds=%.3f\n", target.c_str(), type, duration, limit);
        std::fflush(stdout);
        engine->Play(emitter, false, 0.0f);
        const auto start = std::chrono::steady_clock::now();
        const auto end = start + std::chrono::duration<double>(limit);
        while (std::chrono::steady_clock::now() < end && !engine->IsDone(emitter))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!engine->IsDone(emitter)) engine->Stop(emitter, 0.0f);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));  // the last fragments reach the device
    }
    return finish(0);
}

const tool::ToolCommand kPlay(kName, "FILE_OR_ARCHIVE[:MEMBER] [--seconds N]", play);

}  // namespace

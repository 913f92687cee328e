#include "platform/pulse_pass_through.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/volume_stage.h"

namespace dvx {
namespace {

// Marks the loopback as the program's, among whatever other loopbacks the server runs.
constexpr const char* kMark = "dorvexia.pass_through=yes";

struct Module {
    std::uint32_t index;
    std::string name;
    std::string argument;
};

void collectModule(pa_context* /*context*/, const pa_module_info* info, int last, void* found) {
    if (last == 0 && info != nullptr && info->name != nullptr) {
        static_cast<std::vector<Module>*>(found)->push_back(
            {info->index, info->name, info->argument != nullptr ? info->argument : ""});
    }
}

struct SinkInputSearch {
    std::uint32_t module;
    std::uint32_t found = PA_INVALID_INDEX;
};

void matchSinkInput(pa_context* /*context*/, const pa_sink_input_info* info, int last,
                    void* search) {
    auto& wanted = *static_cast<SinkInputSearch*>(search);
    if (last == 0 && info != nullptr && info->owner_module == wanted.module) {
        wanted.found = info->index;
    }
}

template <typename Info>
void noteFound(pa_context* /*context*/, const Info* info, int last, void* found) {
    if (last == 0 && info != nullptr) {
        *static_cast<bool*>(found) = true;
    }
}

void release(pa_operation* operation) {
    if (operation != nullptr) {
        pa_operation_unref(operation);
    }
}

void noteLoaded(pa_context* /*context*/, std::uint32_t index, void* loaded) {
    *static_cast<std::uint32_t*>(loaded) = index;
}

}  // namespace

PulsePassThrough::PulsePassThrough(PulseServer& server, std::string source, std::string sink,
                                   int channels, bool& refused)
    : m_server(server),
      m_source(std::move(source)),
      m_sink(std::move(sink)),
      m_channels(channels == 1 ? 1 : 2),
      m_refused(refused) {
    PulseServer::Lock lock(m_server);
    requireDevices();
}

PulsePassThrough::~PulsePassThrough() {
    stop();
}

std::string PulsePassThrough::moduleArguments() const {
    const std::string properties =
        "media.name='Dorvexia pass-through' application.name=Dorvexia " + std::string(kMark);
    return "source=\"" + m_source + "\" sink=\"" + m_sink +
           "\" channels=" + std::to_string(m_channels) +
           " latency_msec=" + std::to_string(kLatencyMs) +
           " source_dont_move=true sink_dont_move=true sink_input_properties=\"" + properties +
           "\" source_output_properties=\"" + properties + "\"";
}

void PulsePassThrough::requireDevices() {
    pa_context* context = m_server.context();
    bool source = false;
    bool sink = false;
    m_server.finish(pa_context_get_source_info_by_name(context, m_source.c_str(),
                                                       &noteFound<pa_source_info>, &source));
    m_server.finish(
        pa_context_get_sink_info_by_name(context, m_sink.c_str(), &noteFound<pa_sink_info>, &sink));
    if (!source) {
        throw AudioError("The sound input cannot be opened: " + m_source + " is not there");
    }
    if (!sink) {
        throw AudioError("The sound output cannot be opened: " + m_sink + " is not there");
    }
}

void PulsePassThrough::start() {
    if (isRunning()) {
        return;
    }
    PulseServer::Lock lock(m_server);
    requireDevices();
    unloadLeftovers();
    std::uint32_t loaded = PA_INVALID_INDEX;
    const std::string arguments = moduleArguments();
    if (!m_server.finish(pa_context_load_module(m_server.context(), "module-loopback",
                                                arguments.c_str(), &noteLoaded, &loaded)) ||
        loaded == PA_INVALID_INDEX) {
        const std::string why = m_server.lastError();
        requireDevices();  // a device that went meanwhile is a lost device, not a refusal
        // Both devices are there: the server does not let clients load modules.
        m_refused = true;
        throw CarryRefused("The sound server does not carry the pass-through: " + why);
    }
    m_module = loaded;
    m_gone.store(false, std::memory_order_relaxed);
    try {
        m_server.watchModule(m_module, m_gone);
        m_sinkInput = findSinkInput();
        applyGain();
    } catch (const AudioError&) {
        unload();
        throw;
    }
}

void PulsePassThrough::stop() {
    if (!isRunning()) {
        return;
    }
    PulseServer::Lock lock(m_server);
    unload();
}

void PulsePassThrough::unload() {
    m_server.unwatchModule(m_module);
    pa_context* context = m_server.connectedContext();
    if (!m_gone.load(std::memory_order_relaxed) && context != nullptr) {
        // Not waited for, so a server that hangs cannot hold the main thread up; the server
        // handles a connection's requests in order, so a loopback loaded later on follows it.
        release(pa_context_unload_module(context, m_module, nullptr, nullptr));
    }
    m_module = PA_INVALID_INDEX;
    m_sinkInput = PA_INVALID_INDEX;
}

void PulsePassThrough::unloadLeftovers() {
    pa_context* context = m_server.context();
    std::vector<Module> modules;
    m_server.finish(pa_context_get_module_info_list(context, &collectModule, &modules));
    const std::string sinkArgument = "sink=\"" + m_sink + "\"";
    for (const Module& module : modules) {
        if (module.name == "module-loopback" && module.argument.find(kMark) != std::string::npos &&
            module.argument.find(sinkArgument) != std::string::npos) {
            release(pa_context_unload_module(context, module.index, nullptr, nullptr));
        }
    }
}

std::uint32_t PulsePassThrough::findSinkInput() {
    SinkInputSearch search{m_module};
    m_server.finish(
        pa_context_get_sink_input_info_list(m_server.context(), &matchSinkInput, &search));
    if (search.found == PA_INVALID_INDEX) {
        throw AudioError("The sound server's pass-through has no output stream");
    }
    return search.found;
}

void PulsePassThrough::setGain(int volume) {
    m_gain = std::clamp(volume, 0, VolumeStage::kUnity);
    if (isRunning()) {
        PulseServer::Lock lock(m_server);
        applyGain();
    }
}

void PulsePassThrough::applyGain() {
    pa_cvolume volume;
    pa_cvolume_set(&volume, static_cast<unsigned>(m_channels),
                   pa_sw_volume_from_linear(static_cast<double>(m_gain) / VolumeStage::kUnity));
    // Not waited for: the server applies it within a few milliseconds. Without a connection
    // the loopback is gone, which hasFailed() tells.
    pa_context* context = m_server.connectedContext();
    if (context != nullptr) {
        release(pa_context_set_sink_input_volume(context, m_sinkInput, &volume, nullptr, nullptr));
    }
}

}  // namespace dvx

#include "platform/pulse_backend.h"

#include <algorithm>
#include <map>

#include "platform/pulse_pass_through.h"
#include "platform/pulse_server.h"
#include "platform/pulse_stream.h"
#include "platform/threaded_background_work.h"

namespace dvx {
namespace {

struct ListedDevice {
    std::string id;  // the server's name: "alsa_output.pci-0000_00_1f.3.analog-stereo"
    std::string description;
};

// Sorted by the server's name; a description that several devices share gets the name after it.
DeviceList<std::string> listOf(std::vector<ListedDevice> devices) {
    std::sort(devices.begin(), devices.end(),
              [](const ListedDevice& a, const ListedDevice& b) { return a.id < b.id; });
    std::map<std::string, int> uses;
    for (const ListedDevice& device : devices) {
        ++uses[device.description];
    }
    DeviceList<std::string> list;
    for (const ListedDevice& device : devices) {
        list.add(device.id, uses[device.description] > 1
                                ? device.description + " (" + device.id + ")"
                                : device.description);
    }
    return list;
}

// The callback of pa_context_get_source_info_list and pa_context_get_sink_info_list.
template <typename Info>
void collect(pa_context* /*context*/, const Info* info, int last, void* found) {
    if (last == 0 && info != nullptr && info->name != nullptr) {
        const bool described = info->description != nullptr && *info->description != '\0';
        static_cast<std::vector<ListedDevice>*>(found)->push_back(
            {info->name, described ? info->description : info->name});
    }
}

void noteDefaultSink(pa_context* /*context*/, const pa_server_info* info, void* chosen) {
    if (info != nullptr && info->default_sink_name != nullptr) {
        *static_cast<std::string*>(chosen) = info->default_sink_name;
    }
}

}  // namespace

PulseBackend::PulseBackend(PassThrough passThrough) : m_passThrough(passThrough) {
    try {
        m_server = std::make_unique<PulseServer>();
        readDevices();
    } catch (const AudioError& error) {
        m_startupProblem = error.what();
    }
    if (m_startupProblem.empty() && m_inputs.empty() && m_outputs.empty()) {
        m_startupProblem = "No sound device was found";
    }
}

PulseBackend::~PulseBackend() = default;

void PulseBackend::readDevices() {
    PulseServer::Lock lock(*m_server);
    pa_context* context = m_server->context();
    std::vector<ListedDevice> sources;
    std::vector<ListedDevice> sinks;
    m_server->finish(pa_context_get_source_info_list(context, &collect<pa_source_info>, &sources));
    m_server->finish(pa_context_get_sink_info_list(context, &collect<pa_sink_info>, &sinks));
    m_server->finish(pa_context_get_server_info(context, &noteDefaultSink, &m_defaultSink));
    m_inputs = listOf(std::move(sources));
    m_outputs = listOf(std::move(sinks));
}

std::optional<int> PulseBackend::defaultOutputDevice() const {
    return m_outputs.find(m_defaultSink);
}

std::unique_ptr<AudioStream> PulseBackend::openInput(int device, int channels, CaptureSink& sink) {
    // A capture feeding the program's own pass-through is live; one that only feeds the
    // level test, the meters and recordings takes whole buffers, a quarter of the wake-ups.
    return std::make_unique<PulseStream>(
        *m_server, m_inputs.at(device, "input"), channels, &sink, nullptr,
        carries() ? PulseStream::Latency::Relaxed : PulseStream::Latency::Live);
}

std::unique_ptr<AudioStream> PulseBackend::openOutput(int device, int channels,
                                                      RenderSource& source) {
    return std::make_unique<PulseStream>(*m_server, m_outputs.at(device, "output"), channels,
                                         nullptr, &source, PulseStream::Latency::Relaxed);
}

std::unique_ptr<AudioStream> PulseBackend::openLiveOutput(int device, int channels,
                                                          RenderSource& source) {
    return std::make_unique<PulseStream>(*m_server, m_outputs.at(device, "output"), channels,
                                         nullptr, &source, PulseStream::Latency::Live);
}

std::unique_ptr<CarriedPassThrough> PulseBackend::openCarriedPassThrough(int input, int output,
                                                                         int channels) {
    if (!carries()) {
        return nullptr;
    }
    return std::make_unique<PulsePassThrough>(*m_server, m_inputs.at(input, "input"),
                                              m_outputs.at(output, "output"), channels,
                                              m_carryRefused);
}

std::unique_ptr<BackgroundWork> PulseBackend::startBackgroundWork(std::function<bool()> work) {
    return std::make_unique<ThreadedBackgroundWork>(std::move(work));
}

}  // namespace dvx

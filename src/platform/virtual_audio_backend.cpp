#include "platform/virtual_audio_backend.h"

#include <algorithm>
#include <system_error>

#include "common/io_error.h"
#include "platform/virtual_devices.h"

namespace dvx {
namespace {

const char* const kInputName = "Virtual Feed";

std::string outputName(int index) {
    return "Virtual Out " + std::to_string(index);
}

}  // namespace

class VirtualAudioBackend::InlineWork : public BackgroundWork {
  public:
    InlineWork(VirtualAudioBackend& backend, std::function<bool()> work)
        : m_backend(backend), m_work(std::move(work)) {
        m_backend.m_works.push_back(this);
    }
    ~InlineWork() override { std::erase(m_backend.m_works, this); }

    void runExclusive(const std::function<void()>& action) override { action(); }
    void run() { m_work(); }

  private:
    VirtualAudioBackend& m_backend;
    std::function<bool()> m_work;  // runs before every buffer, idle or not: it costs little
};

VirtualAudioBackend::VirtualAudioBackend(Clock& clock, SoundFiles& files, VirtualAudioConfig config)
    : m_clock(clock), m_config(std::move(config)) {
    if (!m_config.outputFolder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(m_config.outputFolder, error);
        if (error) {
            throw IoError("The virtual output folder " + m_config.outputFolder.string() +
                          " cannot be made: " + error.message());
        }
    }
    std::unique_ptr<SoundReader> feed;
    if (!m_config.inputFile.empty()) {
        feed = files.openReader(m_config.inputFile, 2);
    }
    m_input = std::make_unique<VirtualInputDevice>(kInputName, clock, std::move(feed),
                                                   m_config.loopInput);
    for (int i = 0; i < kOutputDevices; ++i) {
        m_outputs.push_back(
            std::make_unique<VirtualOutputDevice>(outputName(i), clock, files, outputFile(i)));
    }
    m_timer = clock.createTimer("virtualAudio", kTickMs, [this] { tick(); });
    m_timer->setEnabled(true);
}

VirtualAudioBackend::~VirtualAudioBackend() = default;

std::vector<std::string> VirtualAudioBackend::inputDeviceNames() const {
    return {kInputName};
}

std::vector<std::string> VirtualAudioBackend::outputDeviceNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < kOutputDevices; ++i) {
        names.push_back(outputName(i));
    }
    return names;
}

std::unique_ptr<AudioStream> VirtualAudioBackend::openInput(int device, int channels,
                                                            CaptureSink& sink) {
    if (device != 0) {
        throw AudioError("There is no sound input device number " + std::to_string(device));
    }
    if (m_input->isLost()) {
        throw AudioError(std::string(kInputName) + " is not available");
    }
    return std::make_unique<VirtualStream>(*m_input, channels, &sink, nullptr);
}

std::unique_ptr<AudioStream> VirtualAudioBackend::openOutput(int device, int channels,
                                                             RenderSource& source) {
    VirtualDevice& output = outputDevice(device);
    if (output.isLost()) {
        throw AudioError(output.name() + " is not available");
    }
    return std::make_unique<VirtualStream>(output, channels, nullptr, &source);
}

std::unique_ptr<BackgroundWork> VirtualAudioBackend::startBackgroundWork(
    std::function<bool()> work) {
    return std::make_unique<InlineWork>(*this, std::move(work));
}

std::filesystem::path VirtualAudioBackend::outputFile(int index) const {
    if (m_config.outputFolder.empty()) {
        return {};
    }
    return m_config.outputFolder / ("out" + std::to_string(index) + ".wav");
}

void VirtualAudioBackend::setInputLost(bool lost) {
    m_input->setLost(lost);
}

void VirtualAudioBackend::setOutputLost(int index, bool lost) {
    outputDevice(index).setLost(lost);
}

void VirtualAudioBackend::setInputExclusive(bool exclusive) {
    m_input->setExclusive(exclusive);
}

void VirtualAudioBackend::setInputStalled(bool stalled) {
    m_input->setStalled(stalled);
}

void VirtualAudioBackend::setOutputStalled(int index, bool stalled) {
    outputDevice(index).setStalled(stalled);
}

void VirtualAudioBackend::flagInputOverrun() {
    m_input->flagNextBuffer({true, false});
}

void VirtualAudioBackend::flagOutputUnderrun(int index) {
    outputDevice(index).flagNextBuffer({false, true});
}

VirtualDevice& VirtualAudioBackend::outputDevice(int index) const {
    if (index < 0 || index >= kOutputDevices) {
        throw AudioError("There is no sound output device number " + std::to_string(index));
    }
    return *m_outputs[static_cast<std::size_t>(index)];
}

void VirtualAudioBackend::tick() {
    // A little slack, so a buffer due at this very tick is not put off by rounding.
    const double now = m_clock.steadySeconds() + 1e-9;
    for (;;) {
        VirtualDevice* next =
            m_input->isDelivering() && m_input->nextDue() <= now ? m_input.get() : nullptr;
        for (const auto& output : m_outputs) {
            if (output->isDelivering() && output->nextDue() <= now &&
                (next == nullptr || output->nextDue() < next->nextDue())) {
                next = output.get();
            }
        }
        if (next == nullptr) {
            return;
        }
        for (std::size_t i = 0; i < m_works.size(); ++i) {
            m_works[i]->run();
        }
        next->deliverBuffer();
    }
}

}  // namespace dvx

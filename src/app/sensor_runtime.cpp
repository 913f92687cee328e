#include "app/sensor_runtime.h"

#include "sensor/sensor_view.h"
#include "viewers/error_reporter.h"

namespace dvx {

SensorRuntime::SensorRuntime(Station& station, SensorDevices devices, AlarmLog& log,
                             AlarmNotifier& notifier)
    : m_station(station),
      m_devices(devices),
      m_log(log),
      m_pump(devices.clock, &devices.errors),
      m_graph(devices.audio, devices.soundFiles, m_pump),
      m_health(devices.clock, devices.audio, m_graph, m_log, devices.errors),
      m_levels(devices.clock),
      m_sensorAudio(m_graph, m_levels),
      m_engine(devices.clock, station.parameters, m_sensorAudio, m_levels, devices.view,
               devices.errors, m_log),
      m_relays(devices.clock, station.parameters, devices.ports),
      m_inputs(
          devices.clock, station.parameters, devices.ports, station.files.MessageFile,
          station.Facility,
          [&notifier](const std::string& subject, const std::string& text) {
              notifier.SendEmail(subject, text);
          },
          devices.errors),
      m_restart(devices.clock, m_log, devices.restart, devices.errors),
      m_selection(
          devices.clock, m_engine.state(), station.parameters,
          FillFiles{station.files.Spotfile, station.files.Music, station.files.MusRotFileOne,
                    station.files.MusRotFileTwo, station.files.MusHist, station.files.RFNames},
          station.paths),
      m_fill(FillPlayers::Context{devices.clock, m_engine, m_sensorAudio, m_graph,
                                  station.parameters, station.connection, station.Facility,
                                  m_selection, m_log, notifier, devices.fillView, devices.errors,
                                  [this] { m_relays.switchAlarmRelayOff(); }}),
      m_sequence(devices.clock, m_engine, station.parameters, station.connection, station.Facility,
                 m_log, devices.view,
                 AlarmSequence::Outputs{notifier, m_fill, [this] { startRestartCountdown(); },
                                        [this] { m_relays.switchAlarmRelayOn(); },
                                        [this] { m_relays.switchAlarmRelayOff(); }}),
      m_schedule(devices.clock, m_engine, station.parameters, station.Facility, m_log, notifier,
                 devices.view, [this] { m_inputs.PollInputs(); }) {
    const DeviceChoice& choice = station.devices;
    m_graph.setDevices(choice.NetInDevice, choice.NetOutDevice, choice.Out1Device,
                       choice.Out2Device);
    m_engine.setTickSteps([this] { m_sequence.checkProgramInForce(); },
                          [this] { m_sequence.afterSilenceClock(); });
    m_engine.setBeforeStop([this] { m_relays.switchAlarmRelayOff(); });
}

SensorRuntime::~SensorRuntime() = default;

void SensorRuntime::armIfAutoRun() {
    if (m_station.parameters.AutoRun == 1) {
        m_engine.StartSensor();
    }
}

void SensorRuntime::startMetering() {
    reportingFailures(m_devices.errors, [this] { m_graph.WaveIn.start(CaptureUser::Meters); });
}

void SensorRuntime::startRestartCountdown() {
    // Asked for on every tick while the silence lasts with "Alarm Only": the warning is shown
    // once per countdown, not ten times a second.
    if (!m_restart.tmrReboot().isEnabled()) {
        m_devices.errors.showMessage("Reboot Computer", "Preparing to Reboot");
    }
    m_restart.start();
}

}  // namespace dvx

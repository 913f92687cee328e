#include <gtest/gtest.h>

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTimer>
#include <string>

#include "app/main_window_rig.h"
#include "app/sensor_runtime.h"
#include "fill/music_categories.h"
#include "fill/program_list.h"
#include "library/music_catalogue.h"
#include "viewers/error_window.h"

namespace dvx {
namespace {

using test::MainWindowRig;

// GET over HTTP on loopback; the event loop runs until the answer is in.
struct Scrape {
    int status = 0;
    std::string contentType;
    std::string body;

    // The value of the sample `series` (name and labels as written).
    double value(const std::string& series) const {
        const auto at = body.find("\n" + series + " ");
        if (at == std::string::npos) {
            ADD_FAILURE() << series << " missing from\n" << body;
            return -1;
        }
        return std::stod(body.substr(at + series.size() + 2));
    }
};

Scrape scrape(quint16 port, const char* path = "/metrics") {
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkReply* reply =
        manager.get(QNetworkRequest(QUrl(QString("http://127.0.0.1:%1%2").arg(port).arg(path))));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    Scrape result{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                  reply->header(QNetworkRequest::ContentTypeHeader).toString().toStdString(),
                  reply->readAll().toStdString()};
    delete reply;
    return result;
}

// Three tunes of three seconds in category A, the program list playing A.
void addTunes(MainWindowRig& rig) {
    Station& station = *rig.window.station();
    MusicCatalogue music(station.files.Music, station.paths);
    for (int number = 1; number <= 3; ++number) {
        MusicRecord record;
        record.Status = kMusicActive;
        record.Title = "Tune " + std::to_string(number);
        record.Category = "A";
        record.Length = record.EOM = "3";
        record.Comp = 'Y';
        music.write(number, record);
        const std::vector<std::int16_t> second(44100, 3000);
        auto writer = rig.soundFiles.createWriter(music.wavePath(number), 1);
        for (int i = 0; i < 3; ++i) {
            writer->write(second.data(), 44100);
        }
    }
    ProgramList(station.files.MusRotFileOne).add(*CategoryRecord('A'));
}

// Two seconds of sound, ten of silence, then sound again; dead air after five seconds.
TEST(MetricsEndpoint, ScrapesFollowAnAlarmFromItsBeginningToItsEnd) {
    MainWindowRig rig(std::vector<MainWindowRig::Stretch>{{2, 5000}, {10, 0}, {30, 5000}});
    rig.startUpToAutoRun();
    addTunes(rig);
    rig.window.watchFromAfar(":0");  // this machine, any free port
    const quint16 port = rig.window.metricsPort();
    ASSERT_NE(port, 0) << rig.window.errorWindow().newestMessage();

    Scrape before = scrape(port);
    EXPECT_EQ(before.status, 200);
    EXPECT_EQ(before.contentType.rfind("text/plain; version=0.0.4", 0), 0u) << before.contentType;
    EXPECT_EQ(before.value("dorvexia_armed"), 0);
    EXPECT_EQ(scrape(port, "/other").status, 404);

    rig.window.armIfAutoRun();
    rig.clock.advanceSeconds(1);
    before = scrape(port);
    EXPECT_EQ(before.value("dorvexia_armed"), 1);
    EXPECT_EQ(before.value("dorvexia_alarm"), 0);
    EXPECT_EQ(before.value("dorvexia_alarms_total"), 0);
    EXPECT_GT(before.value("dorvexia_peak_level{channel=\"left\"}"), 0.1);
    EXPECT_GT(before.value("dorvexia_last_buffer_timestamp_seconds"), 1.7e9);

    rig.clock.advanceSeconds(7.5);  // 09:00:08.5: dead air since 09:00:02
    const Scrape during = scrape(port);
    EXPECT_EQ(during.value("dorvexia_alarm"), 1);
    EXPECT_EQ(during.value("dorvexia_fill_active"), 1);
    EXPECT_EQ(during.value("dorvexia_alarms_total"), 1);
    EXPECT_NEAR(during.value("dorvexia_silence_seconds"), 6.5, 0.2);
    EXPECT_EQ(during.value("dorvexia_peak_level{channel=\"left\"}"), 0);
    EXPECT_GE(during.value("dorvexia_fill_items_total"), 1);
    rig.clock.advanceSeconds(3);
    const Scrape later = scrape(port);
    EXPECT_NEAR(later.value("dorvexia_silence_seconds"), 9.5, 0.2);
    EXPECT_GT(later.value("dorvexia_fill_items_total"), during.value("dorvexia_fill_items_total"));

    rig.clock.advanceSeconds(13);  // sound back at 09:00:12
    const Scrape after = scrape(port);
    EXPECT_EQ(after.value("dorvexia_armed"), 1);
    EXPECT_EQ(after.value("dorvexia_alarm"), 0);
    EXPECT_EQ(after.value("dorvexia_fill_active"), 0);
    EXPECT_LT(after.value("dorvexia_silence_seconds"), 1);
    EXPECT_EQ(after.value("dorvexia_alarms_total"), 1);
}

TEST(MetricsEndpoint, ABadAddressOrAPortInUseIsReportedAndTheRunGoesOn) {
    MainWindowRig rig;
    rig.startArmed();
    rig.window.watchFromAfar("localhost:http");
    EXPECT_EQ(rig.window.metricsPort(), 0);
    EXPECT_NE(rig.window.errorWindow().newestMessage().find("localhost:http"), std::string::npos)
        << rig.window.errorWindow().newestMessage();

    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost));
    rig.window.watchFromAfar(std::to_string(taken.serverPort()));
    EXPECT_EQ(rig.window.metricsPort(), 0);
    EXPECT_NE(rig.window.errorWindow().newestMessage().find("cannot listen on 127.0.0.1:"),
              std::string::npos)
        << rig.window.errorWindow().newestMessage();
    rig.clock.advanceSeconds(6);
    EXPECT_TRUE(rig.window.runtime()->engine().state().AlarmActive);
}

}  // namespace
}  // namespace dvx

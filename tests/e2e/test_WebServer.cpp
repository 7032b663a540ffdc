// The web server of the real program on a port from the kernel: noise.jpg and /metrics follow
// every sample, and paths out of the web folder are refused.
#include "TestFiles.h"
#include "e2e/ProgramScenario.h"

#include <QDir>
#include <QFile>
#include <QImage>

namespace {

class WebServing : public ProgramScenario {
protected:
    int port = 0;

    void startServing() {
        ASSERT_TRUE(sim.start(QStringLiteral("pw"))) << sim.error().toStdString();
        port = RouterSim::unusedPort();
        ASSERT_GT(port, 0);
        const QByteArray web = home.filePath(QStringLiteral("WebServer")).toUtf8();
        ASSERT_TRUE(QDir().mkpath(QString::fromUtf8(web)));
        // A link inside the web folder that leads out of it, to the settings file's folder.
        ASSERT_TRUE(QFile::link(home.path(), home.filePath(QStringLiteral("WebServer/out"))));
        writeFile(home.filePath(QStringLiteral("WebServer/hello.txt")), "hello\n");
        writeSettings(QStringLiteral("pw"), {},
                      "[Advanced]\r\nWebFolder=" + web +
                          "\r\n[WebServer]\r\nWeb=1\r\nAddress=127.0.0.1\r\nPort=" +
                          QByteArray::number(port) + "\r\nwebWidth=420\r\nwebHeight=260\r\n");
    }

    std::optional<double> samplesServed() const {
        const HttpReply reply = httpGet(port, "/metrics");
        return reply.status == 200 ? metric(reply.body, QStringLiteral("lintrove_samples_total"))
                                   : std::nullopt;
    }
};

TEST_F(WebServing, NoiseImageAndMetricsFollowEverySampleAndPathsOutOfTheFolderAreRefused) {
    startServing();
    std::unique_ptr<ProgramProcess> program = launch();
    ASSERT_TRUE(program->running());
    ASSERT_TRUE(waitForDataLines(2));
    EXPECT_TRUE(program->get("Image3")["visible"].toBool()) << "the server's indicator is on";

    // /metrics: the state, and a sample count that keeps up with the data file.
    HttpReply metrics = httpGet(port, "/metrics");
    ASSERT_EQ(metrics.status, 200) << metrics.headers.toStdString();
    EXPECT_EQ(metric(metrics.body, QStringLiteral("lintrove_monitor_state{state=\"running\"}")),
              1.0);
    EXPECT_EQ(metric(metrics.body, QStringLiteral("lintrove_monitor_state{state=\"paused\"}")),
              0.0);
    const double first = samplesServed().value_or(-1);
    const qsizetype lines = dataLines().size();
    EXPECT_GE(first, 2);
    EXPECT_LE(std::abs(first - double(lines)), 1.0) << "one sample per data line";

    // noise.jpg: served as a JPEG of the configured size, the same file the pipeline writes.
    const HttpReply image = httpGet(port, "/noise.jpg");
    ASSERT_EQ(image.status, 200);
    EXPECT_TRUE(image.headers.toLower().contains("content-type: image/jpeg"))
        << image.headers.toStdString();
    const QImage served = QImage::fromData(image.body, "JPEG");
    ASSERT_FALSE(served.isNull());
    EXPECT_EQ(served.size(), QSize(420, 260));
    EXPECT_FALSE(QImage(home.filePath(QStringLiteral("WebServer/noise.jpg"))).isNull());

    // Later samples: the count goes up and the image is a new one.
    ASSERT_TRUE(ProgramProcess::waitFor([&] { return samplesServed().value_or(0) >= first + 3; },
                                        kLongWaitMs));
    const HttpReply later = httpGet(port, "/noise.jpg");
    ASSERT_EQ(later.status, 200);
    EXPECT_FALSE(QImage::fromData(later.body, "JPEG").isNull());
    EXPECT_NE(later.body, image.body) << "the image follows the samples";
    metrics = httpGet(port, "/metrics");
    EXPECT_TRUE(metrics.body.contains("lintrove_noise_margin_db")) << metrics.body.toStdString();

    // Other files of the folder are served; nothing outside it, however the path is put.
    const HttpReply hello = httpGet(port, "/hello.txt");
    EXPECT_EQ(hello.status, 200);
    EXPECT_EQ(hello.body, "hello\n");
    for (const QByteArray& target :
         {QByteArray("/../lintrove5a.ini"), QByteArray("/%2e%2e/lintrove5a.ini"),
          QByteArray("/..%2flintrove5a.ini"), QByteArray("/out/lintrove5a.ini"),
          QByteArray("/out/Lintrove5A.txt")}) {
        const HttpReply refused = httpGet(port, target);
        EXPECT_EQ(refused.status, 403) << target.toStdString();
        EXPECT_FALSE(refused.body.contains("Password=")) << target.toStdString();
    }

    EXPECT_TRUE(program->terminate()) << program->error().toStdString();
    EXPECT_EQ(matchServed(dataLines(), this->served()), QString());
    EXPECT_EQ(httpGet(port, "/metrics").status, 0) << "the server ends with the program";
}

} // namespace

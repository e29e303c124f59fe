// KvServerAP: the chassis simulator's server program.
//   KvServerAP [--port N] [--listen ADDRESS] [--config FILE] [--pcap FILE] [--time-scale X] [--verbose]
// It listens on loopback unless --listen names another address, on KV_SERVER_PORT or the default port.
#include "kvserver/KvServer.h"

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

KvServer *runningServer = nullptr;

// SIGTERM and SIGINT end the server as a terminate request does, so that the recording is complete.
void stopOnSignal(int)
{
    if (runningServer)
        runningServer->stop();
}

// The exit code of a bad argument, environment value or configuration.
constexpr int BadUsage = 2;

int refuse(const std::string &reason)
{
    std::fprintf(stderr, "KvServerAP: %s\n", reason.c_str());
    return BadUsage;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN); // a capture past the file size limit fails its write, not the server
    const QStringList arguments = application.arguments();
    SimConfig config;
    uint16_t port = KvProtocol::DefaultPort;
    if (const char *fromEnvironment = std::getenv("KV_SERVER_PORT")) {
        const auto named = KvProtocol::portFromText(fromEnvironment);
        if (!named)
            return refuse(std::string("KV_SERVER_PORT is not a port number: ") + fromEnvironment);
        port = *named;
    }
    std::string address = "127.0.0.1";
    bool verbose = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--port" && hasValue) {
            const std::string text = arguments[++i].toStdString();
            const auto named = KvProtocol::portFromText(text);
            if (!named)
                return refuse("bad port: " + text);
            port = *named;
        } else if (argument == "--listen" && hasValue) {
            address = arguments[++i].toStdString();
            if (!KvServer::ipv4Address(address))
                return refuse("not an IPv4 address: " + address);
        } else if (argument == "--config" && hasValue) {
            std::string error;
            if (!loadSimConfig(arguments[++i].toStdString(), config, error))
                return refuse(error);
        } else if (argument == "--pcap" && hasValue) {
            config.pcapFile = arguments[++i].toStdString();
        } else if (argument == "--time-scale" && hasValue) {
            bool ok = false;
            config.timeScale = arguments[++i].toDouble(&ok);
            if (!ok || !isValidTimeScale(config.timeScale))
                return refuse("bad time scale: " + arguments[i].toStdString() + " (" + TimeScaleRange + ")");
        } else if (argument == "--verbose") {
            verbose = true;
        } else {
            std::fprintf(stderr,
                         "usage: KvServerAP [--port N] [--listen ADDRESS] [--config FILE] [--pcap FILE] "
                         "[--time-scale X] [--verbose]\n");
            return BadUsage;
        }
    }
    KvServer server(config);
    if (!server.recordingError().empty())
        return refuse(server.recordingError());
    std::string error;
    if (!server.listen(port, address, error)) {
        std::fprintf(stderr, "KvServerAP: %s\n", error.c_str());
        return 1;
    }
    server.setLogStream(stderr, verbose ? KvServer::LogLines::All : KvServer::LogLines::Warnings);
    runningServer = &server;
    std::signal(SIGTERM, stopOnSignal);
    std::signal(SIGINT, stopOnSignal);
    std::printf("KvServerAP listening on %s:%u\n", address.c_str(), unsigned(server.port()));
    std::fflush(stdout);
    return server.exec();
}

#pragma once
// A PostgreSQL server of the test's own: a cluster made with initdb in a temporary
// folder, listening only on a Unix socket in that folder (no TCP port at all), stopped
// and removed when the object goes. PostgreSQL refuses to run as root: a test running as
// root runs it as the unprivileged user "nobody".
//
// available() is false, with why() saying so, where PostgreSQL's programs are not
// installed (/usr/lib/postgresql/*/bin/initdb) or the server would not start.
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace quorbit::testsupport {

class PostgresServer {
public:
    // `durable`: every commit reaches the disk, as on a real server (benchmarks); tests
    // run without that.
    explicit PostgresServer(bool durable = false) {
        namespace fs = std::filesystem;
        std::error_code ec;
        for (const auto& version : fs::directory_iterator("/usr/lib/postgresql", ec))
            if (fs::exists(version.path() / "bin" / "initdb") && version.path().string() > bin_)
                bin_ = (version.path() / "bin").string();
        if (bin_.empty()) {
            why_ = "PostgreSQL is not installed (no /usr/lib/postgresql/*/bin/initdb): tools/setup.sh installs it";
            return;
        }
        char pattern[] = "/tmp/quorbit-pg-XXXXXX";
        if (!::mkdtemp(pattern)) {
            why_ = "no temporary folder";
            return;
        }
        dir_ = pattern;
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody || ::chown(dir_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
                why_ = "running as root, and the folder cannot be given to the user nobody";
                return;
            }
            asUser_ = "runuser -u nobody -- ";
        }
        const std::string data = dir_ + "/data";
        if (!run(asUser_ + "'" + bin_ + "/initdb' -D '" + data + "' -U quorbit --auth=trust -E UTF8 --no-sync >'" +
                 dir_ + "/initdb.log' 2>&1")) {
            why_ = "initdb failed (see " + dir_ + "/initdb.log)";
            return;
        }
        if (!run(asUser_ + "'" + bin_ + "/pg_ctl' -D '" + data + "' -w -t 60 -l '" + dir_ +
                 "/server.log' -o \"-k '" + dir_ + "' -c listen_addresses=''" + (durable ? "" : " -c fsync=off") +
                 "\" start >/dev/null 2>&1")) {
            why_ = "the PostgreSQL server did not start (see " + dir_ + "/server.log)";
            return;
        }
        started_ = true;
    }
    ~PostgresServer() {
        if (started_)
            run(asUser_ + "'" + bin_ + "/pg_ctl' -D '" + dir_ + "/data' -m immediate -w stop >/dev/null 2>&1");
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool available() const { return started_; }
    const std::string& why() const { return why_; }
    const std::string& socketFolder() const { return dir_; }

    // Makes an empty database and returns its postgresql:// address ("" on failure).
    std::string createDatabase(const std::string& name) {
        if (!started_) return {};
        if (!run("'" + bin_ + "/createdb' -h '" + dir_ + "' -U quorbit '" + name + "' >/dev/null 2>&1")) return {};
        return "postgresql://quorbit@localhost/" + name + "?host=" + dir_;
    }

private:
    // From a folder every user may enter: the server's programs read their working folder.
    static bool run(const std::string& command) { return std::system(("cd /tmp && " + command).c_str()) == 0; }

    std::string bin_;
    std::string dir_;
    std::string asUser_;
    std::string why_;
    bool started_ = false;
};

}  // namespace quorbit::testsupport

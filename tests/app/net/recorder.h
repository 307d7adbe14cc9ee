#pragma once
// Records a TSock's events in order, as short texts, for tests to compare.
#include <algorithm>
#include <string>
#include <vector>

#include "app/net/tsock.h"

namespace quorbit::net::testing {

struct Recorder {
    std::vector<std::string> events;
    std::vector<std::string> infos;  // report texts only
    std::vector<TSock*> accepted;
    bool acceptOnEvent = true;

    // Wires every event of `s`, OnAccept accepting at once when acceptOnEvent is set.
    void attach(TSock& s) {
        s.OnConnect = [this](TSock&) { events.push_back("connect"); };
        s.OnDisconnect = [this](TSock&) { events.push_back("disconnect"); };
        s.OnWrite = [this](TSock&) { events.push_back("write"); };
        s.OnRead = [this](TSock&, int count) { events.push_back("read " + std::to_string(count)); };
        s.OnInfo = [this](TSock&, TSocketInfo info, const std::string& text) {
            events.push_back("info " + std::to_string(static_cast<int>(info)) + " " + text);
            infos.push_back(text);
        };
        s.OnAccept = [this](TSock& l) {
            events.push_back("accept");
            if (!acceptOnEvent) return;
            TSock* n = nullptr;
            if (l.Accept(n)) accepted.push_back(n);
        };
    }
    int count(const std::string& event) const {
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }
    int countPrefix(const std::string& prefix) const {
        return static_cast<int>(std::count_if(events.begin(), events.end(),
                                              [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
    }
    int indexOf(const std::string& event) const {
        const auto it = std::find(events.begin(), events.end(), event);
        return it == events.end() ? -1 : static_cast<int>(it - events.begin());
    }
};

// A listener on an ephemeral loopback-reachable port.
inline int startListening(TSock& listener) {
    listener.setPortName("0");
    listener.setListen(true);
    sockaddr_in a{};
    socklen_t len = sizeof a;
    ::getsockname(listener.Handle(), reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

}  // namespace quorbit::net::testing

// TServer: the game itself (filled in step by step).
#include "server/server.h"

namespace quorbit::server {

using protocol::FieldReader;

void TServer::startgame(FieldReader&) {}
void TServer::startnextround() {}
void TServer::createmaze() {}
void TServer::findplayer() {}
int TServer::nextEligible(int after) const { return after; }
bool TServer::eligible(int) const { return false; }
void TServer::clearPath(int) {}
void TServer::selectletter(FieldReader&) {}
void TServer::selectclear(FieldReader&) {}
void TServer::clearletter(FieldReader&) {}
void TServer::direction(FieldReader&) {}
void TServer::shuffle(FieldReader&) {}
void TServer::playerdone(FieldReader&) {}
void TServer::submit(std::string_view) {}
bool TServer::checkforwin(int) { return false; }
bool TServer::playedByComputer(int) const { return false; }
void TServer::Timer1Timer() {}
void TServer::computertimerTimer() {}
void TServer::computerplay() {}

}  // namespace quorbit::server

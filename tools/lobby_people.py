#!/usr/bin/env python3
"""Fills a table server's lobby for a photograph: two people in the lobby who make three
tables, players and a watcher at them, a game running at one; once the person named by
the second argument enters the lobby, a little chat. Runs until it is stopped."""
import socket
import sys
import threading
import time

port, awaited = int(sys.argv[1]), sys.argv[2]
END = b"\xff"


def send(sock, line):
    sock.sendall(line.encode() + END)


def drain(sock, until=None, then=None):
    def run():
        seen = b""
        while True:
            data = sock.recv(65536)
            if not data:
                return
            seen = (seen + data)[-4096:]
            if until and until in seen:
                then()
                return drain(sock)
    threading.Thread(target=run, daemon=True).start()


def lobby(name):
    sock = socket.create_connection(("127.0.0.1", port))
    send(sock, "CMD_lobby+" + name)
    return sock


def sit(table, name, watch=False):
    sock = socket.create_connection(("127.0.0.1", port))
    send(sock, ("CMD_watchtable+" if watch else "CMD_table+") + table)
    seen = b""
    while b"CMD_sendlogininfo+" not in seen or END not in seen.split(b"CMD_sendlogininfo+")[1]:
        seen += sock.recv(4096)
    seat = seen.split(b"CMD_sendlogininfo+")[1].split(END)[0].split(b"+")[0].decode()
    send(sock, "CMD_logininfo+%s+1.0.10+%s" % (seat, name))
    drain(sock)
    return sock


dee, eve = lobby("Dee"), lobby("Eve")
drain(eve)
time.sleep(0.3)
send(dee, "CMD_maketable+Les mots+500+45+2+f+strong+t+fr+")
send(dee, "CMD_maketable+Beginners welcome+100+120+3+f+classic+t+en+")
send(eve, "CMD_maketable+Teams of two+1000+90+1+t+expert+t+en+")
time.sleep(0.3)
ann = sit("Friday night", "Ann")
time.sleep(0.2)
sit("Friday night", "Bo")
sit("Friday night", "Cy", watch=True)
sit("Les mots", "Fay")
sit("Teams of two", "Gus")
sit("Teams of two", "Hal")
time.sleep(0.3)
send(ann, "CMD_startgame+Ann+300+60+f+1+")


def chat():
    send(dee, "CMD_lobbychat+Anyone for a game in French? quorbit://127.0.0.1:%d/Les%%20mots" % port)
    time.sleep(0.1)
    send(eve, "CMD_lobbychat+Teams of two needs two more players")


drain(dee, ("CMD_person+" + awaited + "+").encode(), chat)
while True:
    time.sleep(60)

#pragma once
// Where the program's files are: the ones it keeps (settings, tally, the user's own tile
// sets) and the ones it ships (tile sets, sounds).
//
// A portable build keeps everything in the program's own folder. An installed program
// (PREFIX/bin/quorbit beside PREFIX/share/quorbit) reads what it ships from
// PREFIX/share/quorbit and keeps the user's files in his per-user data folder.
#include <QString>
#include <QStringList>

namespace quorbit::app {

// The installed data folder that belongs to a program in `programFolder`
// ("PREFIX/bin" gives "PREFIX/share/quorbit"), whether it exists or not.
QString installedDataFolder(const QString& programFolder);

// The folders that may hold the shipped data, first match winning: the program's own
// folder, then its installed data folder when that exists.
QStringList shippedDataFolders(const QString& programFolder);
QStringList shippedDataFolders();  // for this program

// The first of `folders` that holds `relative` (a file or folder); empty when none does.
QString findIn(const QStringList& folders, const QString& relative);

// The folder for the files the program keeps: the program's own folder when it can be
// written and the program is not installed (a portable build); otherwise the per-user
// application data folder, created if needed. QUORBIT_DATA_DIR, when set, names the
// folder instead (tests and several players on one account use it).
QString besideProgramFolder();

// Makes the folder `path` for files that are the user's alone: it and every missing
// folder above it are made with mode 0700. True when `path` is a folder afterwards.
bool makePrivateFolder(const QString& path);
// Takes the group's and others' access away from the folder `path` when it exists, is not
// a link and belongs to this user (a folder made by an older program).
void tightenFolder(const QString& path);

}  // namespace quorbit::app

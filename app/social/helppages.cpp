#include "app/social/helppages.h"

#include <QStringList>

#include "app/media/tilesets.h"
#include "protocol/messages.h"

namespace quorbit::help {

namespace {

const char* const kOverview = R"(
<h3>Quorbit</h3>
<p>Quorbit is a word game for up to four players, each for himself or as two teams
(Team&nbsp;A and Team&nbsp;B). Everyone shares one board of 7 by 7 letter tiles.</p>
<p>On your turn you build the largest word you can from <b>connecting letters</b>: each
letter of the word must touch the one before it, across, up, down or corner to corner.
Words may be up to seven letters long. Use the bonus squares under the letters to make
your word worth more.</p>
<p>The letters you used leave the board, the remaining tiles slide the way the player
chooses, and new tiles fill the holes. The first player or team to reach the agreed
score at the end of a round, ahead of everyone else, wins.</p>
<p>Spectators may join a game to watch and chat.</p>
)";

const char* const kConnecting = R"(
<h3>Solo games</h3>
<p>Started without anything else, Quorbit plays a solo game against the computer player
<b>Zubo</b> on your own machine. Press the <b>Start Game</b> button (or File, Start Game)
to choose the options and begin. A solo game works offline.</p>
<h3>Games with others</h3>
<p>Games with other people are arranged through <b>The Orvane Lobby</b>, a separate program
that starts Quorbit for each player: one player hosts the game and the others join it.
File, <b>Join a Game</b> opens the lobby of a table server: see who is online, make a table
or join one, and copy a table's invite link (quorbit://...) to send to a friend.</p>
<p>The host's computer runs the game itself, so it must accept incoming connections on
<b>TCP port 7772</b>: open that port in your firewall or router when you host.</p>
<p>If the host leaves or loses the connection, the game ends for everyone.</p>
)";

const char* const kGamePlay = R"(
<h3>Your turn</h3>
<p>When it is your turn the status line says so and the clock starts counting down.
Click a letter to begin a word, then click letters that touch the last one to add them.
Click a letter of the word in the rack above the board to take letters back, or press
<b>Clear</b> to start over.</p>
<p>When the word is complete press <b>Done</b>, or simply <b>right-click</b> the board.
A word that is not in the dictionary is refused and you may try again while time is
left.</p>
<h3>Quorbit Shuffle</h3>
<p>If the host allowed shuffles for the game, <b>Quorbit Shuffle</b> gives you a whole new
board, once per turn, as long as you have shuffles left. The boxes beside your name
show how many remain.</p>
<h3>Shifting the tiles</h3>
<p>After a good word, arrows appear around the board: click one to choose the way the
remaining tiles slide. If you do not choose in time, the game chooses for you.</p>
<h3>Playing from the keyboard</h3>
<p>Click the board, or press <b>Tab</b> or <b>F6</b> until it has the focus (F6 goes round
the board, the chat line, the chat and the words list; Shift+F6 goes back). A dashed
outline marks the focus square. While you type in the chat line, the keys stay there.</p>
<table cellspacing="2">
<tr><td><b>Arrow keys</b></td><td>move the focus square</td></tr>
<tr><td><b>Space</b></td><td>add the focus square to your word; on the word's last letter, take it back</td></tr>
<tr><td><b>Backspace</b></td><td>take back the last letter</td></tr>
<tr><td><b>Escape</b></td><td>Clear</td></tr>
<tr><td><b>Enter</b></td><td>Done</td></tr>
<tr><td><b>Shift+Down, Shift+Left, Shift+Up, Shift+Right</b></td><td>after your word, slide the tiles
toward the bottom row, the left column, the top row or the right column</td></tr>
<tr><td><b>S</b></td><td>Quorbit Shuffle</td></tr>
<tr><td><b>H</b></td><td>a hint, where the game offers hints</td></tr>
</table>
<p>Screen readers (Orca) name every square, rack letter, seat, the clock and every button,
and are told when the status line changes (turns, word results) and when the winner shows.</p>
<h3>Winning</h3>
<p>Play goes round the seats until a round ends with one player or team at or above the
<b>Play To Score</b> and ahead of all others.</p>
)";

const char* const kScoring = R"(
<h3>Letter values</h3>
<p>A word scores the sum of its letters' values, shown in the corner of each tile:</p>
<table cellspacing="2">
<tr><td><b>1</b></td><td>A D E I L N O R S T U</td></tr>
<tr><td><b>3</b></td><td>B C G H M P Y</td></tr>
<tr><td><b>5</b></td><td>F J K W</td></tr>
<tr><td><b>7</b></td><td>V</td></tr>
<tr><td><b>10</b></td><td>Q X Z</td></tr>
</table>
<h3>Bonus squares</h3>
<p>They are applied in this order:</p>
<ol>
<li><b>Bonus</b> (the middle square): 20 points more for the tile on it.</li>
<li><b>Double Letter</b>: that tile counts twice.</li>
<li><b>Triple Letter</b>: that tile counts three times.</li>
<li><b>Double Word</b>: the word's total is doubled.</li>
<li><b>Triple Word</b>: the word's total is tripled.</li>
</ol>
<p>A word of all seven letters earns <b>20 points</b> more, after the doubling and
tripling.</p>
<h3>Worked example</h3>
<p>STORM with the S on a Triple Word square, the R on a Double Word square and the M on a
Double Letter square:</p>
<p>S 1 + T 1 + O 1 + R 1 + M 3 = 7, plus 3 for the double letter under the M gives
<b>10</b>; the double word makes it <b>20</b>; the triple word makes it <b>60</b>.</p>
)";

const char* const kLicense = R"(
<h3>License</h3>
<p>Quorbit is provided "as is", without warranty of any kind, express or implied,
including the warranties of merchantability and fitness for a particular purpose. In no
event shall the authors be liable for any claim, damages or other liability arising from
the use of the game.</p>
<p>You may use the game and give unchanged copies of it to others free of charge.</p>
<h3>Word list</h3>
<p>The dictionary is derived from SCOWL (Spell Checker Oriented Word Lists), Copyright
2000-2011 by Kevin Atkinson and others, used under its permission notice: permission to
use, copy, modify, distribute and sell these word lists for any purpose is granted without
fee, provided that the copyright notice and the permission notice appear in all copies.</p>
)";

// What the Tiles menu offers, read from the same tile folders the menu is built from.
QString tileSetsLine() {
    const QStringList sets = media::TileSets().names();
    const QString builtIn = "the built-in classic pictures (Tiles=classic in the settings file)";
    if (sets.isEmpty()) return "Tile pictures: " + builtIn;
    return QString("Tile sets (%1) from the Tiles menu, besides %2").arg(sets.join(", "), builtIn);
}

QString documentation() {
    const QString version = QString::fromLatin1(protocol::kVersion.data(), static_cast<qsizetype>(protocol::kVersion.size()));
    return QString(R"(
<h3>History</h3>
<p><b>Version %1</b></p>
<ul>
<li>Solo games against the computer player Zubo, and games of up to four players or two
teams hosted on one player's computer.</li>
<li>Spectators who watch and chat; Just Watch lets the computer play a seat's turns.</li>
<li>Chat box with action lines, colours and ten phrase buttons you can edit.</li>
<li>Tally of games, wins and words against the opponents you follow.</li>
<li>%2, and three turn sounds.</li>
</ul>
<h3>Documentation</h3>
<p>The Help pages describe the game: see <b>Overview</b>, <b>Connecting</b>,
<b>Game Play</b> and <b>Scoring</b>. The settings are kept in the file orvanelobby.ini
beside the game; your tally of games is kept in Quorbittally.tld in the same folder.</p>
)")
        .arg(version, tileSetsLine());
}

}  // namespace

QString topic(int n) {
    switch (n) {
        case 1: return "Overview";
        case 2: return "Connecting";
        case 3: return "Game Play";
        case 4: return "Scoring";
        case 5: return "Documentation";
        case 6: return "License";
        default: return {};
    }
}

QString page(int n) {
    switch (n) {
        case 1: return kOverview;
        case 2: return kConnecting;
        case 3: return kGamePlay;
        case 4: return kScoring;
        case 5: return documentation();
        case 6: return kLicense;
        default: return {};
    }
}

}  // namespace quorbit::help

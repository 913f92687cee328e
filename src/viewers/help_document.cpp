#include "viewers/help_document.h"

namespace dvx {
namespace {

std::string escapeHtml(const std::string& text) {
    std::string result;
    for (char c : text) {
        switch (c) {
            case '&':
                result += "&amp;";
                break;
            case '<':
                result += "&lt;";
                break;
            case '>':
                result += "&gt;";
                break;
            case '"':
                result += "&quot;";
                break;
            default:
                result += c;
        }
    }
    return result;
}

constexpr const char* kGuideStart =
    R"(<html><head><meta charset="utf-8"><title>Dorvexia Help</title></head><body>
<h1>Dorvexia</h1>
<p>Dorvexia guards the station against dead air. It listens to the programme feed on the
sound card input <b>Net In</b> and passes it straight through to <b>Net Out</b>. When no sound
louder than the <b>Threshold</b> has come in for the <b>Delay</b> (1 to 99 seconds), it raises
the alarm.</p>

<h2>Arming the sensor</h2>
<ul>
<li><b>Start</b> arms the sensor; the button turns light green while it is armed.</li>
<li><b>Stop</b> disarms it (and hangs up a modem call in progress).</li>
<li>With <b>Auto Run</b> set in My Preferences the sensor is armed as soon as the program starts.</li>
<li>My Preferences also holds a start and a stop time for each weekday, for timed arming.</li>
</ul>

<h2>The alarm</h2>
<p>When the silence reaches the Delay, the red alarm indicator shows and the alarm is written to
the day's alarm log. Depending on My Preferences the program then:</p>
<ul>
<li>e-mails the people of My Address Book who may be mailed at that hour (<b>Email</b>);</li>
<li>dials the people of My Call List through the modem and sends their code (<b>Page</b>);</li>
<li>fills the silence with backup music and spots, unless <b>Alarm Only</b> is set;</li>
<li>restarts the computer (<b>Reboot</b>).</li>
</ul>
<p>When sound returns, the alarm ends a little over 3 seconds later. The fill item that is
playing runs to its end, then the programme feed fades back in and, if <b>Email End</b> or
<b>Page End</b> is set, everyone is told that the fill has ended.</p>

<h2>The menus</h2>
<ul>
<li><b>Files</b>: Exit ends the program.</li>
<li><b>Setup</b>: My Address Book, Music Categories, My Call List, My Connection (the modem),
My Messages (the facility name and the alarm texts), My Preferences (sound cards, Delay,
Threshold, alarm actions, relays, timed start and stop, the mail account) and My Programming
(the music categories of the regular and the alternate program and when each is in force).</li>
<li><b>MusicFiles</b> and <b>SpotFiles</b>: record, import, name, normalise and delete the music
and spots the fill plays.</li>
<li><b>History</b>: Alarm Logs shows the alarm log of a chosen day, by time or grouped by
event.</li>
<li><b>Help</b>: this text. You may type your own notes here; they are kept when the window
closes.</li>
<li><b>About</b>: the version, and the system information of this computer.</li>
</ul>

<h2>Where the data lives</h2>
<ul>
)";

constexpr const char* kGuideEnd = R"(</ul>
<p>Everything is kept in plain files there; copy these folders to back the station's setup up.
Messages about refused input, missing files or failed devices appear in the Error Message
window.</p>
</body></html>
)";

std::string item(const std::string& what, const std::filesystem::path& where) {
    return "<li>" + what + ": <tt>" + escapeHtml(where.string()) + "</tt></li>\n";
}

}  // namespace

std::string defaultHelpHtml(const Paths& paths) {
    std::string html = kGuideStart;
    html += item(
        "Settings and data files (preferences, connection, call list, address book, "
        "messages, categories, programming)",
        paths.dataFolder());
    html += item("Alarm logs (one file a day) and the playlist", paths.logsFolder());
    html += item("Music files and their catalogue", paths.musicFolder());
    html += item("Spot files, their catalogue and the rotation files", paths.spotFolder());
    html += item("The mail account, the mail server and this help text", paths.programFolder());
    html += kGuideEnd;
    return html;
}

}  // namespace dvx

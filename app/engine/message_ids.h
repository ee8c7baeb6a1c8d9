// Message ids shared by the window, the download worker and the progress ticker.
// Every message carries no parameters; the id says everything.
#pragma once

#include <cstdint>

namespace lapdex {

using MessageId = uint32_t;

// Window -> worker commands (the worker takes 0x812C..0x8130 only).
inline constexpr MessageId CMD_DOWNLOAD_NEW = 0x812C;
inline constexpr MessageId CMD_DOWNLOAD_ALL = 0x812D;
inline constexpr MessageId CMD_CLEAR = 0x812E;
inline constexpr MessageId CMD_PAUSE = 0x812F;
inline constexpr MessageId CMD_QUIT = 0x8130;
inline constexpr MessageId kCommandFirst = CMD_DOWNLOAD_NEW;
inline constexpr MessageId kCommandLast = CMD_QUIT;

// Worker -> window notifications.
inline constexpr MessageId NTF_BATTERY = 0x8131;
// Our own: Clear left the stopwatch as it was, because its new runs could not all be saved
// as run files first. The worker waits for a command (the window resumes it).
inline constexpr MessageId NTF_CLEAR_KEPT = 0x8135;
inline constexpr MessageId NTF_STOPWATCH_FOUND = 0x8136;
inline constexpr MessageId NTF_DOWNLOAD_DONE = 0x8137;
inline constexpr MessageId NTF_DOWNLOAD_DONE_GONE = 0x8138;
inline constexpr MessageId NTF_CLEAR_DONE = 0x8139;
inline constexpr MessageId NTF_CLEAR_DONE_GONE = 0x813A;
inline constexpr MessageId NTF_NO_DATA = 0x813B;
inline constexpr MessageId NTF_NO_DATA_GONE = 0x813C;
inline constexpr MessageId NTF_TRANSFER_START = 0x813D;
inline constexpr MessageId NTF_PROGRESS_TICK = 0x813E;
inline constexpr MessageId NTF_TRANSFER_END = 0x813F;
inline constexpr MessageId NTF_COMM_ERROR = 0x8140;
// Our own: at least one run file of the last download could not be written (disk full,
// folder missing, text not representable). Posted right before the download's completion
// notification; the runs that could be written stay, the others remain on the stopwatch
// for a Reload.
inline constexpr MessageId NTF_RUN_FILE_ERROR = 0x8141;
inline constexpr MessageId NTF_REGISTRY_FULL = 0x8142;
// Our own: the worker registered a new stopwatch and asks the window to show its tab.
// Posted before that download's completion notification; the tab model already holds it.
inline constexpr MessageId NTF_TAB_ADDED = 0x8143;
inline constexpr MessageId NTF_COMMAND_ACK = 0x8144;

// Window -> ticker messages (the ticker takes 0x8154..0x8156 only).
inline constexpr MessageId TICK_START = 0x8154;
inline constexpr MessageId TICK_STOP = 0x8155;
inline constexpr MessageId TICK_QUIT = 0x8156;
inline constexpr MessageId kTickFirst = TICK_START;
inline constexpr MessageId kTickLast = TICK_QUIT;

// Page messages (window -> page).
inline constexpr MessageId PAGE_MARK_DAYS = 0x814A;
inline constexpr MessageId PAGE_STOPWATCH_CHANGED = 0x814B;
inline constexpr MessageId PAGE_DATA_CHANGED = 0x814C;

}  // namespace lapdex

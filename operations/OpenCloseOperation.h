#pragma once
// "Open..." (a sheet set file chosen in the host's file dialog, opened through the host) and
// "Close Sheet Set" (the current one; the manager picks the next).
void registerOpenCloseOperation();
void unregisterOpenCloseOperation();

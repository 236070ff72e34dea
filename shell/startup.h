// startup.h -- bringing every resource up at start and releasing it again at the end.
#pragma once

void startup_game();
void shutdown_game();

// main.cpp -- the process entry point; the game itself starts in game_main.
#include "shell/game.h"

int main(int, char**)
{
    return game_main();
}

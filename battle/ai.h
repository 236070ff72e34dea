// ai.h -- the computer player: one greedy step at a time toward the best cell on the board.
#pragma once

extern int ai_goal_x;
extern int ai_goal_y;
extern const int ai_directions[8][2];  // (dx, dy), clockwise from up-left

void ai_take_turn();
void ai_choose_goal();
int ai_can_enter(int x, int y);
int ai_choose_attack();
void ai_step();

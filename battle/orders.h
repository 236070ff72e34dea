// orders.h -- the rules of play: selecting a unit and ordering it to step, clear forest or attack.
#pragma once

void select_unit(int x, int y);
int highlight_targets();
void deselect_unit();
void order_unit(int x, int y);
int combat_roll(int attack, int defence);
void capture_castles();

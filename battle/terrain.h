// terrain.h -- the random battlefield and the two starting armies.
#pragma once

void generate_terrain();
void place_armies();

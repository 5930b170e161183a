/* Plays both animations; their symbols come from the headers
 * flipdeck_add_animation writes, under their prefixes. */
#include <stdio.h>

#include "hop_symbols.h"
#include "walk_symbols.h"

int play_walk(void);
int play_hop(void);

int main(void) {
  printf("walk: %ux%u grid\n", (unsigned)walk_gCamXSize, (unsigned)walk_gCamYSize);
  if (play_walk() != 0) return 1;
  printf("hop: %ux%u grid, first cell %s\n", (unsigned)hop_gCamXSize, (unsigned)hop_gCamYSize,
         hop_gCamMatrix[0][0] != NULL ? "filled" : "empty");
  return play_hop();
}

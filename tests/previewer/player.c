/* Plays one generated animation twice, so that the jump back and the last
 * view's count are played too, and prints the picture on view at each frame
 * and in each filled camera cell, told apart by what it holds, e.g.
 * "frame: 16x16/4b img=00000011 pal=0000 par=0", "cell: 2,0 8x2/8b ...".
 * The camera table's row type must match its definition, so its column count
 * comes in as PLAYER_CAM_COLUMNS. Exit status 1 for a malformed command chain. */
#include <stdio.h>

#include "flipdeck.h"

extern CAnmCtrlHeader* gAnimeCmd[];
extern u32 gCamXSize, gCamYSize;
#if PLAYER_CAM_COLUMNS > 0
extern CAnmCtrlTxture* gCamMatrix[][PLAYER_CAM_COLUMNS];
#endif

static int Fail(const char* why) {
  printf("error: %s\n", why);
  return 1;
}

static void PrintPicture(const CAnmCtrlTxture* view) {
  const struct qmTMF* tmf = view->tmf;
  printf("%ux%u/%ub img=%08x pal=%04x par=%d\n", (unsigned)tmf->width, (unsigned)tmf->height,
         (unsigned)tmf->siz, (unsigned)tmf->img[0], (unsigned)view->tlut[0], (int)view->param);
}

int main(void) {
  const CAnmCtrlSetMaxFrame* start = (const CAnmCtrlSetMaxFrame*)gAnimeCmd[0];
  const CAnmCtrlTxture* view = NULL;
  s32 index = 1;
  s32 left = 0;
  if (start->header.command != ANMCTRL_SETMAXFRAME) return Fail("no frame count first");
  for (s32 frame = 0; frame < 2 * start->maxFrame; ++frame) {
    /* A view of no frames shows nothing; a chain that shows no frame in this
     * many commands would play forever. */
    for (int steps = 0; left <= 0; ++steps) {
      const CAnmCtrlHeader* command = gAnimeCmd[index];
      if (steps == 10000) return Fail("no command shows a frame");
      if (command->command == ANMCTRL_JUMP) {
        index = ((const CAnmCtrlJump*)command)->target;
        continue;
      }
      if (command->command != ANMCTRL_TEX_VIEW) return Fail("a command is no view or jump");
      view = (const CAnmCtrlTxture*)command;
      left = view->frames;
      ++index;
    }
    printf("frame: ");
    PrintPicture(view);
    --left;
  }

  printf("camera: %ux%u\n", (unsigned)gCamXSize, (unsigned)gCamYSize);
  if (gCamXSize != PLAYER_CAM_COLUMNS) return Fail("built for another camera width");
#if PLAYER_CAM_COLUMNS > 0
  for (u32 y = 0; y < gCamYSize; ++y) {
    for (u32 x = 0; x < gCamXSize; ++x) {
      if (gCamMatrix[y][x] == NULL) continue;
      printf("cell: %u,%u ", (unsigned)x, (unsigned)y);
      PrintPicture(gCamMatrix[y][x]);
    }
  }
#endif
  return 0;
}

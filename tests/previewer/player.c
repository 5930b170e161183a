/* Plays one generated animation twice, so that the jump back and the last
 * view's count are played too, and prints the picture on view at each frame
 * and in each filled camera cell, told apart by what it holds, e.g.
 * "frame: 16x16/4b img=00000011 pal=0000 par=0", "cell: 2,0 8x2/8b ...".
 * Built with PLAYER_SEEN, it prints instead what the picture shows, its size
 * and a hash of the RGBA 5551 colour of every pixel, each pixel nobody sees
 * as 0 ("frame: 6x5 seen=8d2a41f0"): only for animations whose images index
 * inside their palettes. The camera table's row type must match its
 * definition, so its column count comes in as PLAYER_CAM_COLUMNS. Exit
 * status 1 for a malformed command chain. */
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
#ifdef PLAYER_SEEN
  /* The image's bytes are its rows packed top first, four to a word, the
   * first in the word's high byte; at 4 bits the left pixel takes a byte's
   * high nibble. FNV-1a over the colours. */
  const u32 rowBytes = (tmf->width * tmf->siz + 7) / 8;
  u32 hash = 2166136261u;
  for (u32 y = 0; y < tmf->height; ++y) {
    for (u32 x = 0; x < tmf->width; ++x) {
      const u32 at = y * rowBytes + x * tmf->siz / 8;
      const u32 byte = (tmf->img[at / 4] >> (24 - 8 * (at % 4))) & 0xff;
      const u32 index = tmf->siz == 8 ? byte : (x % 2 == 0 ? byte >> 4 : byte & 15);
      const u16 colour = view->tlut[index];
      hash = (hash ^ ((colour & 1) ? colour : 0u)) * 16777619u;
    }
  }
  printf("%ux%u seen=%08x\n", (unsigned)tmf->width, (unsigned)tmf->height, (unsigned)hash);
#else
  printf("%ux%u/%ub img=%08x pal=%04x par=%d\n", (unsigned)tmf->width, (unsigned)tmf->height,
         (unsigned)tmf->siz, (unsigned)tmf->img[0], (unsigned)view->tlut[0], (int)view->param);
#endif
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

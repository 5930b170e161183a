/* A stand-in for the previewer: linked with one generated source, it plays
 * the animation once and prints, line by line, which picture is on view at
 * each frame and which picture sits in each camera cell.
 *
 * The generated names are static, so a picture is told by what it holds:
 * size, pixel size, first image word, first palette entry and parameter,
 * e.g. "16x16/4b img=00000011 pal=0000 par=0". An empty cell prints "NULL".
 *
 * The camera table is defined as rows of PLAYER_CAM_COLUMNS pointers; the
 * declaration here must have the same row type to be the same object, so the
 * column count comes in at compile time (-DPLAYER_CAM_COLUMNS=<x size>) and
 * is checked against gCamXSize when playing.
 *
 * Exit status 0 after a full play, 1 when the command chain is malformed. */
#include <stdio.h>

#include "flipdeck.h"

#ifndef PLAYER_CAM_COLUMNS
#error "compile with -DPLAYER_CAM_COLUMNS=<number of camera columns>"
#endif

extern CAnmCtrlHeader* gAnimeCmd[];
extern u32 gCamXSize;
extern u32 gCamYSize;
#if PLAYER_CAM_COLUMNS > 0
extern CAnmCtrlTxture* gCamMatrix[][PLAYER_CAM_COLUMNS];
#endif

/* More commands than this between two shown frames means the chain never
 * shows one (all counts zero or negative, or a jump onto itself). */
enum { kMaxStepsPerFrame = 10000 };

static void PrintPicture(const CAnmCtrlTxture* view) {
  const struct qmTMF* tmf;
  if (view == NULL) {
    printf("NULL\n");
    return;
  }
  tmf = view->tmf;
  printf("%ux%u/%ub", (unsigned)tmf->width, (unsigned)tmf->height, (unsigned)tmf->siz);
  /* An image without pixels has an empty array: nothing to read. */
  if (tmf->width > 0 && tmf->height > 0) printf(" img=%08x", (unsigned)tmf->img[0]);
  printf(" pal=%04x par=%d\n", (unsigned)view->tlut[0], (int)view->param);
}

/* Finds the texture command that is on view next, starting at *index and
 * following jumps; NULL (after a message) when the chain is malformed. */
static const CAnmCtrlTxture* NextView(s32* index) {
  int steps;
  for (steps = 0; steps < kMaxStepsPerFrame; ++steps) {
    const CAnmCtrlHeader* command = gAnimeCmd[*index];
    if (command->command == ANMCTRL_TEX_VIEW) {
      ++*index;
      return (const CAnmCtrlTxture*)command;
    }
    if (command->command != ANMCTRL_JUMP || ((const CAnmCtrlJump*)command)->target < 1) {
      printf("error: command %d is no texture view or jump\n", (int)*index);
      return NULL;
    }
    *index = ((const CAnmCtrlJump*)command)->target;
  }
  printf("error: no command shows a frame\n");
  return NULL;
}

static int PlaySequence(void) {
  const CAnmCtrlSetMaxFrame* start = (const CAnmCtrlSetMaxFrame*)gAnimeCmd[0];
  const CAnmCtrlTxture* view = NULL;
  s32 index = 1;
  s32 left = 0;
  s32 frame;
  if (start->header.command != ANMCTRL_SETMAXFRAME) {
    printf("error: command 0 does not set the frame count\n");
    return 0;
  }
  printf("length %d\n", (int)start->maxFrame);
  for (frame = 0; frame < start->maxFrame; ++frame) {
    /* A command of zero (or fewer) frames shows nothing: move past it. */
    while (left <= 0) {
      view = NextView(&index);
      if (view == NULL) return 0;
      left = view->frames;
    }
    printf("frame %d: ", (int)frame);
    PrintPicture(view);
    --left;
  }
  return 1;
}

static int PrintCamera(void) {
  printf("camera %ux%u\n", (unsigned)gCamXSize, (unsigned)gCamYSize);
  if (gCamXSize != PLAYER_CAM_COLUMNS) {
    printf("error: built for %d camera columns\n", PLAYER_CAM_COLUMNS);
    return 0;
  }
#if PLAYER_CAM_COLUMNS > 0
  {
    u32 x;
    u32 y;
    for (y = 0; y < gCamYSize; ++y) {
      for (x = 0; x < gCamXSize; ++x) {
        printf("cell %u,%u: ", (unsigned)x, (unsigned)y);
        PrintPicture(gCamMatrix[y][x]);
      }
    }
  }
#endif
  return 1;
}

int main(void) {
  if (!PlaySequence()) return 1;
  if (!PrintCamera()) return 1;
  return 0;
}

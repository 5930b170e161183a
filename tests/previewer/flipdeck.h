/* The previewer's header: the command records that generated sources fill
 * in and the image structure they point to. A generated header may define
 * that structure too, so it sits under the same guard with the same members:
 * whichever comes first defines it. */
#ifndef FLIPDECK_H
#define FLIPDECK_H

#include "plinth.h"

#ifndef _qmTMF_
#define _qmTMF_
struct qmTMF {
  u32* img; /* pixel words, the top row first */
  u32 fmt;
  u32 siz;
  u32 width;
  u32 height;
};
#endif

/* Zero is no command, so a record never filled in is told apart. */
#define ANMCTRL_SETMAXFRAME 1
#define ANMCTRL_TEX_VIEW 2
#define ANMCTRL_JUMP 3

typedef struct {
  s32 command; /* ANMCTRL_* */
} CAnmCtrlHeader;

typedef struct {
  CAnmCtrlHeader header;
  s32 maxFrame; /* frames of one pass */
} CAnmCtrlSetMaxFrame;

/* Shows a picture for `frames` frames; camera cells hold it with 0. */
typedef struct {
  CAnmCtrlHeader header;
  struct qmTMF* tmf;
  u16* tlut;
  s32 param;
  s32 frames;
} CAnmCtrlTxture;

typedef struct {
  CAnmCtrlHeader header;
  s32 target; /* index in gAnimeCmd to go on with */
} CAnmCtrlJump;

#endif /* FLIPDECK_H */

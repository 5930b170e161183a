/* The previewer's own header: the animation command records that generated
 * sources fill in, and the image and palette structures they point to.
 *
 * A generated source includes this header before its generated header (when
 * there is one), so the structure definitions below sit under the same guards
 * and have exactly the same members as the generated ones: whichever comes
 * first defines the type, and both agree. */
#ifndef FLIPDECK_H
#define FLIPDECK_H

#include "plinth.h"

#ifndef _qmTMF_
#define _qmTMF_

struct qmTMF {
  u32* img; /* pixel words, the top row first */
  u32 fmt;  /* G_IM_FMT_CI */
  u32 siz;  /* G_IM_SIZ_4b or G_IM_SIZ_8b */
  u32 width;
  u32 height;
};

#endif

#ifndef _qmTLF_
#define _qmTLF_

struct qmTLF {
  u32 type;
  u16* tlut;
  u16 size;
};

#endif

/* Command codes; zero is left unused so that a record never filled in is
 * told apart from a real command. */
#define ANMCTRL_SETMAXFRAME 1
#define ANMCTRL_TEX_VIEW 2
#define ANMCTRL_JUMP 3

/* The part every command record starts with; the sequence table points to
 * records through it. */
typedef struct {
  s32 command; /* one of ANMCTRL_* */
} CAnmCtrlHeader;

/* Command 0 of a sequence: the number of frames of one pass. */
typedef struct {
  CAnmCtrlHeader header;
  s32 maxFrame;
} CAnmCtrlSetMaxFrame;

/* Shows a picture: its image and palette for `frames` frames. Camera cells
 * use the same record with `frames` 0. */
typedef struct {
  CAnmCtrlHeader header;
  struct qmTMF* tmf;
  u16* tlut;
  s32 param;
  s32 frames;
} CAnmCtrlTxture;

/* Goes on with the command at `target` in the sequence table. */
typedef struct {
  CAnmCtrlHeader header;
  s32 target;
} CAnmCtrlJump;

#endif /* FLIPDECK_H */

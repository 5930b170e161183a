/* The target's system header as far as generated sources need it. The pixel
 * sizes are the bit counts, so the player can print them as they are. */
#ifndef PLINTH_H
#define PLINTH_H

#include <stddef.h> /* NULL, which the camera table names for empty cells */
#include <stdint.h>

typedef uint16_t u16;
typedef uint32_t u32;
typedef int32_t s32;

#define G_IM_FMT_CI 2
#define G_IM_SIZ_4b 4
#define G_IM_SIZ_8b 8

#endif /* PLINTH_H */

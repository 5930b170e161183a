/* The target machine's system header, as far as the generated C sources
 * need it: the sized integer types and the image format constants that the
 * texture structures carry. The values are the previewer's own; the player
 * reads the bit size back from them, so they are simply the bit counts. */
#ifndef PLINTH_H
#define PLINTH_H

#include <stddef.h> /* NULL, which the camera table names for empty cells */
#include <stdint.h>

typedef uint8_t u8;
typedef uint16_t u16;
typedef uint32_t u32;
typedef int32_t s32;

/* Colour-index image format. */
#define G_IM_FMT_CI 2

/* Pixel sizes: the number of bits per pixel, so a player can print them. */
#define G_IM_SIZ_4b 4
#define G_IM_SIZ_8b 8

#endif /* PLINTH_H */

/* The static libstdc++ of GCC 12 on Debian 12 seeds std::random_device with arc4random,
 * which glibc has only from 2.36; defining it here keeps the release running on 2.35
 * systems (Ubuntu 22.04) too. getrandom (glibc 2.25) draws from the same kernel source. */
#include <stdint.h>
#include <sys/random.h>

uint32_t arc4random(void);

uint32_t arc4random(void) {
    uint32_t value = 0;
    while (getrandom(&value, sizeof value, 0) != (ssize_t)sizeof value) {
    }
    return value;
}

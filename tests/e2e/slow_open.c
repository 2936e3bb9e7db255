/* A slow disk for the end-to-end tests, loaded with LD_PRELOAD: opening a
 * file whose path holds the text of SORAHIKI_E2E_SLOW_PATHS waits 5 ms, and
 * such opens wait one after another, as reads of one disk do. So a search of
 * a few thousand files lasts long enough to watch and to stop. Each such open
 * adds a line to the file SORAHIKI_E2E_SLOW_LOG names, if any, so that a test
 * can tell which searches read the slow files. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static pthread_mutex_t disk = PTHREAD_MUTEX_INITIALIZER;

static int (*real_open)(const char*, int, ...);

static void log_open(const char* path) {
    const char* log = getenv("SORAHIKI_E2E_SLOW_LOG");
    if (log == NULL || *log == '\0') return;
    if (real_open == NULL) real_open = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open");
    int out = real_open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (out < 0) return;
    size_t length = strlen(path);
    if (write(out, path, length) == (ssize_t)length) (void)!write(out, "\n", 1);
    close(out);
}

static void wait_for_disk(const char* path) {
    const char* mark = getenv("SORAHIKI_E2E_SLOW_PATHS");
    if (path == NULL || mark == NULL || *mark == '\0' || strstr(path, mark) == NULL) return;
    struct timespec wait = {0, 5000000};
    pthread_mutex_lock(&disk);
    nanosleep(&wait, NULL);
    log_open(path);
    pthread_mutex_unlock(&disk);
}

static mode_t mode_of(int flags, va_list args) {
    return (flags & O_CREAT) || (flags & __O_TMPFILE) == __O_TMPFILE ? va_arg(args, mode_t) : 0;
}

#define SLOW_OPEN(name)                                                                   \
    int name(const char* path, int flags, ...) {                                          \
        static int (*real)(const char*, int, ...);                                        \
        va_list args;                                                                     \
        va_start(args, flags);                                                            \
        mode_t mode = mode_of(flags, args);                                               \
        va_end(args);                                                                     \
        if (real == NULL) real = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, #name); \
        wait_for_disk(path);                                                              \
        return real(path, flags, mode);                                                   \
    }

SLOW_OPEN(open)
SLOW_OPEN(open64)

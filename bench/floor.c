/* The floor of a search: the least that any program reading every file under
 * DATA spends. It lists DATA and every folder under it in sorted order, then
 * opens each file, reads its first 4 KiB (with --whole: all of it, 64 KiB at a
 * time) and closes it, on N threads that take the files in turn, and prints
 * the number of files and the bytes read.
 * Plain C and POSIX with nothing of the project, so that it times the system
 * alone; symbolic links are not followed.
 *
 *   cc -O2 -o floor bench/floor.c -lpthread && cd FOLDER && floor 2 [--whole]
 */
#define _DEFAULT_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

enum { kMaxThreads = 64, kHeadBytes = 4096, kWholeBlock = 65536 };

static char** g_files;
static size_t g_fileCount;
static size_t g_fileCapacity;
static atomic_size_t g_nextFile;
static atomic_llong g_bytesRead;
static int g_whole; /* read every file to its end */

static void AddFile(char* path) {
    if (g_fileCount == g_fileCapacity) {
        g_fileCapacity = g_fileCapacity ? 2 * g_fileCapacity : 1024;
        g_files = realloc(g_files, g_fileCapacity * sizeof *g_files);
        if (!g_files) {
            perror("floor");
            exit(2);
        }
    }
    g_files[g_fileCount++] = path;
}

static char* JoinPath(const char* folder, const char* name) {
    size_t length = strlen(folder) + 1 + strlen(name) + 1;
    char* path = malloc(length);
    if (!path) {
        perror("floor");
        exit(2);
    }
    snprintf(path, length, "%s/%s", folder, name);
    return path;
}

static int IsFolder(const struct dirent* entry, const char* path, int* isFile) {
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
        struct stat status;
        if (lstat(path, &status) != 0) return *isFile = 0;
        type = S_ISDIR(status.st_mode) ? DT_DIR : S_ISREG(status.st_mode) ? DT_REG : DT_LNK;
    }
    *isFile = type == DT_REG;
    return type == DT_DIR;
}

/* Depth first, a folder's files and sub-folders where they stand in its
 * sorted listing. */
static void ListFolder(const char* folder) {
    struct dirent** entries;
    int count = scandir(folder, &entries, NULL, alphasort);
    if (count < 0) return;
    for (int i = 0; i < count; ++i) {
        const char* name = entries[i]->d_name;
        if (strcmp(name, ".") != 0 && strcmp(name, "..") != 0) {
            char* path = JoinPath(folder, name);
            int isFile = 0;
            if (IsFolder(entries[i], path, &isFile)) {
                ListFolder(path);
                free(path);
            } else if (isFile) {
                AddFile(path);
            } else {
                free(path);
            }
        }
        free(entries[i]);
    }
    free(entries);
}

static void* ReadFiles(void* unused) {
    (void)unused;
    static _Thread_local char block[kWholeBlock];
    const size_t want = g_whole ? sizeof block : kHeadBytes;
    long long bytes = 0;
    for (;;) {
        size_t at = atomic_fetch_add(&g_nextFile, 1);
        if (at >= g_fileCount) break;
        int fd = open(g_files[at], O_RDONLY);
        if (fd < 0) continue;
        ssize_t got;
        while ((got = read(fd, block, want)) > 0) {
            bytes += got;
            if (!g_whole) break;
        }
        close(fd);
    }
    atomic_fetch_add(&g_bytesRead, bytes);
    return NULL;
}

int main(int argc, char** argv) {
    int threads = argc > 1 ? atoi(argv[1]) : 1;
    if (threads < 1) threads = 1;
    if (threads > kMaxThreads) threads = kMaxThreads;
    g_whole = argc > 2 && strcmp(argv[2], "--whole") == 0;
    ListFolder("DATA");
    pthread_t ids[kMaxThreads];
    for (int i = 0; i < threads; ++i) {
        if (pthread_create(&ids[i], NULL, ReadFiles, NULL) != 0) {
            threads = i;
            break;
        }
    }
    if (threads == 0) ReadFiles(NULL);
    for (int i = 0; i < threads; ++i) pthread_join(ids[i], NULL);
    printf("%zu files %lld\n", g_fileCount, (long long)atomic_load(&g_bytesRead));
    return 0;
}

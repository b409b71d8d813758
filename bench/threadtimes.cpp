// Loaded into a benchmarked program with LD_PRELOAD: when the program exits, appends to the file
// named by QUORVIK_THREAD_TIMES one line per thread ("main" first, then the others in the order
// they ended) with its CPU seconds (user and system together, to the nanosecond), a line with the
// whole process's CPU seconds and a last one with its peak memory in KB.
// The program itself is not changed: thread starts are wrapped so that each thread reads its
// own CPU time just before it ends.

#include <dlfcn.h>
#include <pthread.h>
#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

namespace {

struct Start {
    void* (*routine)(void*);
    void* arg;
};

constexpr int kMost = 64;
std::mutex guard;
double ended[kMost];
int endedCount = 0;

double Seconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void* Run(void* p)
{
    const Start start = *static_cast<Start*>(p);
    delete static_cast<Start*>(p);
    void* result = start.routine(start.arg);
    const double used = Seconds(CLOCK_THREAD_CPUTIME_ID);
    std::lock_guard<std::mutex> lock(guard);
    if (endedCount < kMost)
        ended[endedCount++] = used;
    return result;
}

__attribute__((destructor)) void Report()
{
    const char* path = std::getenv("QUORVIK_THREAD_TIMES");
    if (path == nullptr)
        return;
    std::FILE* f = std::fopen(path, "a");
    if (f == nullptr)
        return;
    std::fprintf(f, "main %.4f\n", Seconds(CLOCK_THREAD_CPUTIME_ID));
    {
        std::lock_guard<std::mutex> lock(guard);
        for (int i = 0; i < endedCount; ++i)
            std::fprintf(f, "thread %.4f\n", ended[i]);
    }
    std::fprintf(f, "process %.4f\n", Seconds(CLOCK_PROCESS_CPUTIME_ID));
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    std::fprintf(f, "peak %ld\n", self.ru_maxrss);
    std::fclose(f);
}

}  // namespace

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*routine)(void*), void* arg)
{
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const Create real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    auto* start = new (std::nothrow) Start{routine, arg};
    if (start == nullptr)
        return real(thread, attr, routine, arg);
    const int rc = real(thread, attr, Run, start);
    if (rc != 0)
        delete start;
    return rc;
}

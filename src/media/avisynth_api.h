#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cw {

// AviSynth+'s C interface, as far as this program uses it. The library is
// loaded at run time and never a build dependency.
struct AvsValue {
    short type; // 'c' clip, 'e' error, 's' string, 'i' int, 'v' void, ...
    short arraySize;
    union {
        void* clip;
        const AvsValue* array;
        const char* string;
        int integer;
        std::int64_t integer64;
        double floating;
    } d;
};
static_assert(sizeof(AvsValue) == 16);

struct AvsVideoInfo {
    int width;
    int height;
    unsigned fpsNumerator;
    unsigned fpsDenominator;
    int numFrames;
    int pixelType;
    int audioSamplesPerSecond;
    int sampleType;
    std::int64_t numAudioSamples;
    int nchannels;
    int imageType;
};
static_assert(sizeof(AvsVideoInfo) == 48);

// The start of a frame and of its buffer as the C interface lays them out;
// read only to check a frame against its buffer.
struct AvsFrameBuffer {
    const std::uint8_t* data;
    int dataSize;
};
struct AvsFrameHead {
    long refcount;
    const AvsFrameBuffer* buffer;
    int offset;
    int pitch;
    int rowSize;
    int height;
};

struct AvsMap;

struct AvsApi {
    void* (*createScriptEnvironment)(int version);
    void (*deleteScriptEnvironment)(void* env);
    const char* (*getError)(void* env);
    AvsValue (*invoke)(void* env, const char* name, AvsValue args, const char** argNames);
    void (*releaseValue)(AvsValue value);
    void* (*takeClip)(AvsValue value, void* env);
    void (*releaseClip)(void* clip);
    const AvsVideoInfo* (*getVideoInfo)(void* clip);
    void* (*getFrame)(void* clip, int n);
    const char* (*clipGetError)(void* clip);
    void (*releaseVideoFrame)(void* frame);
    const std::uint8_t* (*getReadPtr)(const void* frame, int plane);
    int (*getPitch)(const void* frame, int plane);
    int (*getHeight)(const void* frame, int plane);
    int (*getRowSize)(const void* frame, int plane);

    // Frame properties (interface 8 and later); all null when the library
    // lacks any of them.
    const AvsMap* (*getFramePropsRo)(void* env, const void* frame);
    int (*propNumKeys)(void* env, const AvsMap* map);
    const char* (*propGetKey)(void* env, const AvsMap* map, int index);
    int (*propNumElements)(void* env, const AvsMap* map, const char* key);
    char (*propGetType)(void* env, const AvsMap* map, const char* key);
    std::int64_t (*propGetInt)(void* env, const AvsMap* map, const char* key, int index, int* error);
    double (*propGetFloat)(void* env, const AvsMap* map, const char* key, int index, int* error);
    const char* (*propGetData)(void* env, const AvsMap* map, const char* key, int index, int* error);
    int (*propGetDataSize)(void* env, const AvsMap* map, const char* key, int index, int* error);

    // A script variable's value; null when the library lacks it.
    AvsValue (*getVar)(void* env, const char* name);
};

// The interface of the first of libraryNames that dlopen accepts and that
// has every function needed, loaded once for the life of the process
// (AviSynth+ keeps plugins loaded). null with error set when none does.
const AvsApi* loadAviSynthApi(const std::vector<std::string>& libraryNames, std::string& error);

AvsValue avsString(const char* text);
AvsValue avsInt(int value);
// No arguments at all.
AvsValue avsNoArguments();

} // namespace cw

// The plug-in DLL as the smoke host drives it: every entry point is called
// through the stack probe, so each call also checks that the entry point
// removed its own arguments, and the findings are kept per entry point.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "host/module/PluginModule.h"
#include "tests/windows/StackProbe.h"

class ProbedPlugin {
public:
    struct StackRecord {
        const char* entryPoint;
        int argumentCount;
        int calls;
        int driftedCalls;   // calls that left arguments behind or took too many
        int lastDrift;      // bytes, of the last drifted call
    };

    // Throws std::runtime_error when the DLL cannot be loaded or bound.
    explicit ProbedPlugin(const std::string& path);

    HMODULE Module() const;
    const std::vector<StackRecord>& StackRecords() const { return records; }

    void SetStartupInfo(const StartupInfo* info);
    void GetPluginInfo(PluginInfo* info);
    HANDLE OpenFilePlugin(const char* name, const unsigned char* data, int dataSize);
    HANDLE OpenPlugin(int openFrom, INT_PTR argument);
    void ClosePlugin(HANDLE panel);
    int GetFindData(HANDLE panel, PanelItem** items, int* itemCount, int opMode);
    void FreeFindData(HANDLE panel, PanelItem* items, int itemCount);
    void GetOpenPluginInfo(HANDLE panel, OpenPluginInfo* info);
    int GetFiles(HANDLE panel, PanelItem* items, int itemCount, int move,
                 const char* destinationPath, unsigned opMode);
    int PutFiles(HANDLE panel, PanelItem* items, int itemCount, int move, unsigned opMode);
    int DeleteFiles(HANDLE panel, PanelItem* items, int itemCount, unsigned opMode);
    int ProcessKey(HANDLE panel, int key, unsigned controlState);
    int Configure(int entryNumber);

private:
    template <typename T>
    struct Exactly {
        using Type = T;
    };

    // Every argument and result of an entry point is one 32-bit word.
    template <typename T>
    static DWORD Word(T value) {
        static_assert(sizeof(T) == sizeof(DWORD), "entry point arguments are 32 bits wide");
        if constexpr (std::is_pointer_v<T>)
            return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(value));
        else
            return static_cast<DWORD>(value);
    }

    template <typename Result>
    static Result FromWord(DWORD word) {
        if constexpr (std::is_pointer_v<Result>)
            return reinterpret_cast<Result>(static_cast<UINT_PTR>(word));
        else
            return static_cast<Result>(word);
    }

    // The parameter list of `function` decides the arguments, so their count
    // is the one the entry point was declared with.
    template <typename Result, typename... Parameters>
    DWORD Call(int entry, Result(WINAPI* function)(Parameters...),
               typename Exactly<Parameters>::Type... arguments) {
        const DWORD words[] = {Word(arguments)..., 0};
        DWORD result = 0;
        const int count = static_cast<int>(sizeof...(Parameters));
        int drift = StackDriftOfCall(reinterpret_cast<const void*>(function), words, count,
                                     result);
        Note(entry, count, drift);
        return result;
    }

    void Note(int entry, int argumentCount, int drift);

    PluginModule module;
    std::vector<StackRecord> records;
};

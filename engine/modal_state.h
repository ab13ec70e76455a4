// The modal interpreter: NcModalState, the state a control keeps between
// blocks, and ncModalUpdate, which applies one analysed block to it and
// yields the block's MotionRecord while keeping the statistics of the NC
// report. The interpreter is pure computation: no files, no allocation.
//
// When the state is reset with ncModalReset everything is zero except the
// range sentinels and the initial modal G codes of the machine.
#pragma once

#include <cstdint>

#include "engine/block_text.h"
#include "engine/machine_config.h"
#include "engine/motion_record.h"

// A coordinate of a range corner that is not greater than this is unset.
constexpr float kNcRangeUnset = -99999.0f;
constexpr int kNcListSize = 100;   // slots of each per-tool value list
constexpr int kNcCallLevels = 32;  // frames of the call stack

// Bits of NcModalState::rotationFlags.
constexpr uint16_t kNcRotatePlaneXY = 0x01;
constexpr uint16_t kNcRotatePlaneZX = 0x02;
constexpr uint16_t kNcRotatePlaneYZ = 0x04;
constexpr uint16_t kNcRotateByIjk = 0x10;    // plane chosen by an I, J or K word
constexpr uint16_t kNcRotateSeenG90 = 0x20;  // G90 was active since G68
constexpr uint16_t kNcRotateStarted = 0x40;  // the first rotated block is done

// How a call frame was entered (NcCallFrame::callKind).
constexpr int32_t kNcCallMain = 0;
constexpr int32_t kNcCallG65 = 65;
constexpr int32_t kNcCallG66 = 66;
constexpr int32_t kNcCallM98 = 0x10062;  // 0x10000 marks an M code, 0x62 is 98

// NcModalState::centreMode. G90.1 and G91.1, written in the headers of
// common CAM output, switch what the machine's option says of I, J, K:
// G90.1 has them follow G90/G91 (absolute under G90), G91.1 makes them
// offsets from the start point. Until either is read the option decides.
constexpr int32_t kNcCentreByMachine = 0;
constexpr int32_t kNcCentreFollowsDistance = 901;
constexpr int32_t kNcCentreOffsets = 911;

struct NcToolStats {
    int32_t changeCount;  // M06 blocks after which this tool was active
    // Summed in double: millions of short moves in float would drift by
    // whole minutes and millimetres.
    double cutLength;      // mm
    double machiningTime;  // seconds, rapids included
    float rangeMin[3];    // range of this tool's cutting moves
    float rangeMax[3];
    // Distinct non-zero values in order of first use; 0 = free slot.
    int32_t dList[kNcListSize];
    int32_t hList[kNcListSize];
    int32_t fList[kNcListSize];
    int32_t sList[kNcListSize];
    // Low 16 bits the cycle's G code, high 16 bits its accumulated holes.
    int32_t cycleList[kNcListSize];
};

struct NcCallFrame {
    int32_t programNumber;
    int32_t nextBlock;          // index within the program of the next block to run
    int32_t repeatCount;        // runs still due from the call's L word; 0 without L
    int32_t callKind;           // kNcCall*
    int32_t restartBlock;       // where a repetition starts again
    int32_t savedDistanceMode;  // 90 or 91 when the call was made
};

struct NcModalState {
    float pathMin[3];  // every end point, arc extent and cycle point
    float pathMax[3];
    float cutMin[3];  // cutting moves only: G01, arcs, cycles with tool circles
    float cutMax[3];
    NcToolStats tools[kNcToolCount];  // tool 0 collects work with no tool selected
    float previousPosition[3];        // X, Y, Z before the current block
    float position[3];                // after it: unrotated program coordinates, scaled
    float arcCentre[3];               // absolute centre last formed from I, J, K
    uint32_t gModal[4];               // bit n: G code n active; one-shots until next block
    uint32_t mModal[4];               // bit n: M code n active or given in this block
    NcBlockText registers;            // last D, H, F, S and the active T
    NcBlockText pendingTool;          // last T word, until an M06 activates it
    NcBlockText cycleBlock;           // last cycle-selecting block, Z and R absolute levels
    NcBlockText callBlock;            // last block with G65 or M98
    NcBlockText modalCallBlock;       // last G66 block
    float rotationHome[3];            // the position when G68 was read
    float rotationCentre[3];
    float rotationAngle;     // degrees, counter-clockwise
    uint16_t rotationFlags;  // kNcRotate* bits
    int32_t callLevel;       // index of the active frame, 0 to 31
    NcCallFrame callStack[kNcCallLevels];
    int32_t translationEnded;  // nonzero once the programs are over
    int32_t centreMode;        // kNcCentre*: how I, J, K are read, as G90.1 or G91.1 last said
    // What the block just run holds that the drawing does not show as
    // written (bits of the note kinds), with the values the notes name.
    uint32_t blockNotes;
    int32_t noteProgram;        // the program that ran the block
    int32_t noteGCode;          // G code times 10
    int32_t noteCalledProgram;  // a call's program that is not loaded
    float noteRadii[2];         // start and end radius of an arc
    float noteIncrement;        // the machine's ItoF that read a coordinate without a point
    int32_t noPointNoted;       // 1 + the program whose coordinate without a point was noted
};

// Zeroes state, marks every range unset and makes gModal bits 0 to 99 those
// of initialGModal (the machine's modal G codes at program start).
int32_t ncModalReset(NcModalState* state, const uint32_t initialGModal[4]);

// Applies block to state and fills record; see the interpreter for the
// rules. An M06 may erase the T word that precedes it from block. Returns
// 1; 0 with NcStatusInvalidArgument when an argument is missing, and 0 with
// NcStatusCoordinateRange and the block's text when the block leads to a
// coordinate beyond 1e15 or one that is not a number.
int32_t ncModalUpdate(const NcMachineConfig* config, NcModalState* state, NcBlockText* block,
                      MotionRecord* record);

// Widens the range [min, max] by point, axis by axis. Point coordinates at
// or below the sentinel are skipped; an unset axis takes the point as is.
int32_t ncRangeUpdate(float min[3], float max[3], const float point[3]);

// Rotates (u, v) about (cu, cv) counter-clockwise by angle degrees.
int32_t ncRotatePoint(float* u, float* v, float cu, float cv, float angle);

// Whether G (or M) code n is set in a 128-bit modal set.
inline bool ncModalBit(const uint32_t set[4], int n) {
    return n >= 0 && n < 128 && (set[n >> 5] >> (n & 31) & 1u) != 0;
}

// The machine's controls and actuators, simulated as process-wide registers.
// An input interface stores a selection; an actuator interface runs its
// actuator by setting its register to 1 and reports success by returning it.
#pragma once

namespace cm {

inline constexpr int kLow = 100;
inline constexpr int kMiddle = 200;
inline constexpr int kHigh = 300;
// The concentrates a brew can be made with: the code, the name the status
// header shows and the water a cup takes (mL), which is the code again.
struct Concentrate {
  int code;
  const char* name;
  int water;
};
inline constexpr Concentrate kConcentrates[] = {{kLow, "LOW", 100}, {kMiddle, "MIDDLE", 200}, {kHigh, "HIGH", 300}};
// The concentrate of a code; nullptr for a code no brew is made with.
const Concentrate* concentrateOf(int code);
inline constexpr int kCold = 0;
inline constexpr int kHot = 1;
// "No selection" in concentrateData / temperatureData.
inline constexpr int kUnsetSelection = 10000;

// A coffee request: what to brew.
struct CoffeeRequest {
  int concentrate;
  int temperature;
  friend bool operator==(const CoffeeRequest&, const CoffeeRequest&) = default;
};

extern CoffeeRequest coffeeData;  // the current request
extern CoffeeRequest nonData;     // the empty request {0, 0}

// Selection registers.
extern int concentrateData;
extern int temperatureData;
extern int timeData;
extern int isReserve;
extern int isPowderRemain;  // used powder is in the machine: clean before brewing

// Actuator registers and the two buttons.
extern int isRotate, isSpin, isShower, isGrind, isBoil, isMake;
extern int cleanData, powerData;

// The controllers' copies of the last actuator results.
extern int _isRotate, _isSpin, _isShower, _isBoil, _isMake;

// Input interfaces.
int concentrateInterface(int code);
int temperatureInterface(int code);
int timeInterface(int stamp);
// The two buttons. No program calls them: the menu numbers 3 and 0 ask the
// main controller directly.
int cleanInterface();
int powerInterface();

// Actuator interfaces.
int rotateInterface();
int spinInterface();
int showerInterface();
int grindInterface();
int boilInterface();
int makeInterface();

// The coffee request.
void pushCoffeeData(int concentrate, int temperature);
// No program calls it: the menu hands coffeeData to the controllers itself.
CoffeeRequest popCoffeeData();

// The speaker: one bell, then a line end.
void speakInterface();

// Back to the power-on state, as a test begins.
void resetRegisters();

}  // namespace cm

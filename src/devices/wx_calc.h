// Dew point and wind chill of a weather reading, in degrees Celsius.
#pragma once

#include <cstdint>

// Magnus formula with a = 17.5043 and b = 241.2 degrees C. Humidity in percent; outside
// 1..99 the result is 0.
double DewPoint(std::uint8_t Humidity, double Temperature);

// The wind chill index of the North American and UK weather services (wind at 10 m in
// km/h); below 5 km/h it is the temperature itself. Wind in m/s.
double WindChill(double Temperature, double Wind);

#pragma once

// The constants of the cycle model, each with its unit. Several are the
// model's own roundings (pi to ten figures, 778 ft-lbf per BTU, 5250 for
// 33000 / 2 pi): every result is computed with them as written, and an
// "improved" figure moves the results in their last digits. Coefficients
// fitted to one formula (the heat-capacity polynomial, the friction fit, the
// exhaust-system table) stay in that formula.
//
// A constant that follows from others is written as its formula. Where the
// formula gives the very double the model has always used, a static_assert
// below says so; where the model's figure is the formula rounded (1.428 for
// 2 / 1.4), the figure stays the value used and SimConstantsTest checks it
// against the formula to within its rounding.

// ---- Circles and angles

// pi to ten figures, as the cycle takes it.
inline constexpr double kPi = 3.141592654;
// Area of a circle per square of its diameter (engine displacement, intake port).
inline constexpr double kQuarterPi = kPi / 4.0;
// pi / 4 to seven figures: the swept volume and the piston area of one cylinder take this one.
inline constexpr double kQuarterPiSevenFigures = 0.7853982;
// Radians per degree and degrees per radian (cam lobe, port waves, burn).
inline constexpr double kRadiansPerDegree = kPi / 180.0;
inline constexpr double kDegreesPerRadian = 180.0 / kPi;
static_assert(kRadiansPerDegree == 0.017453292522222223 && kDegreesPerRadian == 57.29577950560105);
// Radians per degree to ten figures (pi / 180 = 0.0174532925199...): the piston motion takes this one.
inline constexpr double kCrankRadiansPerDegree = 0.01745329252;
// pi to eight figures: the cylinder volume in cc, worked out in extended precision, takes this one.
inline constexpr long double kPiEightFigures = 3.1415927L;

// ---- Units

inline constexpr double kInchesPerFoot = 12.0;
inline constexpr double kFeetPerInch = 1.0 / kInchesPerFoot;
inline constexpr double kSquareInchesPerSquareFoot = 144.0;  // also lbf/sq ft per psi
inline constexpr double kSquareFeetPerSquareInch = 1.0 / kSquareInchesPerSquareFoot;
inline constexpr double kCubicInchesPerCubicFoot = 1728.0;  // cfm x 1728 = cubic inches per minute
inline constexpr double kFeetPerMetre = 3.28;               // the flow bench's figure (3.2808)
inline constexpr double kSecondsPerMinute = 60.0;
// Crank degrees per second per rpm: 360 degrees a revolution over 60 seconds a minute.
inline constexpr double kCrankDegreesPerSecondPerRpm = 6.0;

inline constexpr double kFootPoundsPerBtu = 778.0;                               // ft-lbf per BTU (778.17)
inline constexpr double kInchPoundsPerBtu = kFootPoundsPerBtu * kInchesPerFoot;  // in-lbf per BTU
static_assert(kInchPoundsPerBtu == 9336.0);
inline constexpr double kBtuPerInchPound = 1.0 / kInchPoundsPerBtu;

// Cubic centimetres per cubic inch: 2.54^3 = 16.387064, taken as 16.38706.
// Long double for the extended-precision volume arithmetic; converted to
// double or float it is the same number as 16.38706 written in that type.
inline constexpr long double kCubicCentimetresPerCubicInch = 16.38706L;

// ---- Air

inline constexpr double kAtmospherePsi = 14.7;                     // standard atmosphere, psi absolute
inline constexpr double kPerAtmospherePsi = 1.0 / kAtmospherePsi;  // atmospheres per psi
static_assert(kPerAtmospherePsi == 0.06802721088435375);
inline constexpr double kGasConstantFootPounds = 53.35;  // gas constant of air, ft-lbf/(lb R)
inline constexpr double kGasConstantBtu = 0.06857;       // BTU/(lb R): 53.35 / 778, rounded
inline constexpr double kGasConstantSlug = 1716.0;       // ft-lbf/(slug R): 53.35 x 32.174, rounded
inline constexpr double kHeatCapacityRatio = 1.4;        // cp / cv of air
inline constexpr double kGravityFeet = 32.2;             // ft/s^2: lb ft/s^2 per lbf
// Square of the speed of sound per degree Rankine, gamma R g = 2405.018
// ft^2/(s^2 R): a = sqrt(2405.018 T).
inline constexpr double kSoundSpeedSquaredPerRankine =
    kHeatCapacityRatio * kGasConstantFootPounds * kGravityFeet;
static_assert(kSoundSpeedSquaredPerRankine == 2405.018);
// 1 / R, lb R/BTU, as the energy balance's K = cv / R takes it: 1 / 0.06855, a
// figure 0.03 % below kGasConstantBtu that every cycle result is computed with.
inline constexpr double kEnergyBalancePerGasConstant = 1.0 / 0.06855;
static_assert(kEnergyBalancePerGasConstant == 14.587892049598834);

// Standard air, against which the volumetric efficiency is measured.
inline constexpr double kStandardTemperature = 527.0;  // R (67 F)
// lb of standard air per cubic inch: P / (R T) at 14.7 psi and 527 R, R in in-lbf/(lb R).
inline constexpr double kStandardAirPerCubicInch =
    kAtmospherePsi / (kGasConstantBtu * kStandardTemperature * kInchPoundsPerBtu);
static_assert(kStandardAirPerCubicInch == 4.3572424598436755e-05);

// The charge's internal energy, BTU/lb, u(T) = sum a_k T^k for k = 1..5 (T in
// R), and its specific heat at constant volume cv = du/dT = sum k a_k T^(k-1),
// BTU/(lb R). The cv figures are k a_k to five figures: exactly so for T^2
// and T^3, rounded for T (2 a_2 = 1.03958e-05) and in the last bit for T^4.
inline constexpr double kInternalEnergyCoefficients[] = {0.16528, 5.1979e-06, 3.9016e-09, -9.3632e-13,
                                                         6.3156e-17};
inline constexpr double kSpecificHeatCoefficients[] = {0.16528, 1.0396e-05, 1.17048e-08, -3.74528e-12,
                                                       3.1578e-16};
static_assert(kSpecificHeatCoefficients[0] == kInternalEnergyCoefficients[0] &&
              kSpecificHeatCoefficients[2] == 3.0 * kInternalEnergyCoefficients[2] &&
              kSpecificHeatCoefficients[3] == 4.0 * kInternalEnergyCoefficients[3]);

// ---- Flow through the valves

// Orifice-flow coefficient, lb R/(ft-lbf): 1 / R of air. A mass flow in lb per
// crank degree is sqrt(psi) a P / T x this x A x seconds per crank degree,
// with a in ft/s, P in psi, T in R and A in sq in; the psi to lbf/sq ft and
// sq in to sq ft factors (144 and 1/144) cancel.
inline constexpr double kOrificeFlowCoefficient = 1.0 / kGasConstantFootPounds;
static_assert(kOrificeFlowCoefficient == 0.01874414245548266);

// The subsonic flow function of air, psi = 2/(g - 1) (r^(2/g) - r^((g + 1)/g))
// for the pressure ratio r and g = cp / cv = 1.4: its factor 5 and its
// exponents 2/1.4 = 1.42857 and 2.4/1.4 = 1.71429 to three decimals.
inline constexpr double kFlowFunctionScale = 5.0;   // 2 / (g - 1)
inline constexpr double kFlowExponentLow = 1.428;   // 2 / g
inline constexpr double kFlowExponentHigh = 1.714;  // (g + 1) / g

// ---- Cam lobe and valve

inline constexpr double kBaseCircleRadius = 0.55032;  // in, of every lobe
inline constexpr double kRockerRatio = 1.5;           // valve lift per lobe lift
inline constexpr double kMinimumLift = 0.000001;      // in: a lift below 0 is taken as this
inline constexpr double kCamDegreesPerCrankDegree = 0.5;

// Upstream over downstream pressure at which air flow chokes,
// ((g + 1) / 2)^(g / (g - 1)) = 1.2^3.5 = 1.89293, to five figures.
inline constexpr double kCriticalPressureRatio = 1.8929;

// The intake's bench coefficient c corrected for the port-to-cylinder
// pressure ratio f. The correction vanishes for c = 0.1 and c = 1; below the
// critical ratio it grows in proportion to f - 1, to 0.7 (1 - c)(c - 0.1) at
// the critical ratio, and above it a choked port gains
// (1 - c)(1 - (fc / f)^2)(0.27 - 0.1 c) more. The corrected coefficient is
// held within 0.43 and 1.
inline constexpr double kUncorrectedCoefficient = 0.1;
inline constexpr double kCriticalCorrection = 0.7;
inline constexpr double kChokedCorrectionBase = 0.27;
inline constexpr double kChokedCorrectionPerCoefficient = 0.1;
inline constexpr double kSubcriticalCorrectionPerRatio = kCriticalCorrection / (kCriticalPressureRatio - 1.0);
static_assert(kSubcriticalCorrectionPerRatio == 0.7839623698062492);
inline constexpr double kLowestIntakeCoefficient = 0.43;
inline constexpr double kHighestIntakeCoefficient = 1.0;

// ---- Ports

// The intake ram: a rise over the 30 degrees before BDC of the intake stroke,
// at 1/35 of the amplitude per crank degree (to eight figures), then a
// ringing in the runner for 110 degrees after it.
inline constexpr double kIntakeBdc = 540.0;  // crank degrees
inline constexpr double kRamRiseDegrees = 30.0;
inline constexpr double kRamRiseStart = kIntakeBdc - kRamRiseDegrees;
inline constexpr double kRamRingingDegrees = 110.0;
inline constexpr double kRamRingingEnd = kIntakeBdc + kRamRingingDegrees;
static_assert(kRamRiseStart == 510.0 && kRamRingingEnd == 650.0);
inline constexpr double kRamRisePerDegree = 0.028571429;

// The exhaust-port wave, in degrees of wave angle: the blowdown pulse, twice
// the amplitude, up to 180; the reflection up to 360; later waves at 0.8 of
// the amplitude. The wave angle runs through 270 degrees from EVO to the end
// of the stroke at the tuning speed.
inline constexpr double kBlowdownEnd = 180.0;
inline constexpr double kReflectionEnd = 360.0;
inline constexpr double kBlowdownFactor = 2.0;
inline constexpr double kLaterWaveFactor = 0.8;
inline constexpr double kWaveDegreesToStrokeEnd = 270.0;

// With boost the exhaust port stands at N / 750 + 25 psi against a turbine or
// a blower drive (1/750 to eight figures).
inline constexpr double kBoostedExhaustPsiPerRpm = 0.0013333333;
inline constexpr double kBoostedExhaustBasePsi = 25.0;

// ---- Combustion

// The charge burns between 710 and 770 crank degrees at a rate shaped as the
// half-sine sin(pi (theta - 710) / 60); its integral over the 60 degrees is
// 120 / pi, so pi / 120 makes the burnt fractions sum to 1.
inline constexpr double kBurnStart = 710.0;    // crank degrees
inline constexpr double kBurnDuration = 60.0;  // crank degrees
inline constexpr double kBurnPhasePerDegree =
    kPi * (1.0 / kBurnDuration);  // half-sine radians per crank degree
inline constexpr double kBurnFractionScale = kPi / (2.0 * kBurnDuration);  // pi / 120
static_assert(kBurnPhasePerDegree == 0.052359877566666664 && kBurnFractionScale == 0.026179938783333336);

// ---- The cylinder at the start of a run, and the exhaust port

inline constexpr double kStartPressurePsi = 44.1;    // cylinder at EVO of the first point, psi absolute
inline constexpr double kStartTemperature = 2000.0;  // R, burnt gas in the cylinder at EVO
// lb of burnt gas per psi and cubic inch at 2000 R: m = P V / (R T), R in in-lbf/(lb R).
inline constexpr double kStartMassPerPsiCubicInch =
    1.0 / (kGasConstantBtu * kInchPoundsPerBtu * kStartTemperature);
static_assert(kStartMassPerPsiCubicInch == 7.810431212032712e-07);
inline constexpr float kFirstVolumetricEfficiency = 70.0f;  // %, the air demand's guess for the first point

// Port gas flowing back into the cylinder is taken at 2000 R: its enthalpy,
// the charge's u + R T at 2000 R (506.744272, taken as 506.74426), and its
// speed of sound sqrt(2405.018 x 2000), to the bit.
inline constexpr double kExhaustBackflowTemperature = 2000.0;     // R
inline constexpr double kExhaustBackflowEnthalpy = 506.74426;     // BTU/lb
inline constexpr double kBackflowSoundSpeed = 2193.179427224321;  // ft/s

// ---- Crank steps

// Crank degrees per step and rpm: a step of 50 microseconds, 6 N degrees a
// second x 5e-05 s (0.0003, where 6 x 5e-05 is 0.00030000000000000003).
inline constexpr double kStepDegreesPerRpm = 0.0003;

// ---- Heat to the walls

// Wall heat, BTU per crank degree = 17 (800 - T) A x 1.7e-05 x seconds per
// crank degree, A in sq in: a film coefficient of 17 units of
// 1.7e-05 BTU/(s sq in R), 2.89e-04 BTU/(s sq in R) or about 150 BTU/(h sq ft R).
inline constexpr double kWallFilmCoefficient = 17.0;
inline constexpr double kWallTemperature = 800.0;            // R
inline constexpr double kWallFilmCoefficientUnit = 1.7e-05;  // BTU/(s sq in R)
// Wall area of the head and the piston crown together, sq in per square inch
// of bore squared: twice pi / 4 (1.5708), rounded.
inline constexpr double kHeadAndCrownAreaPerBoreSquared = 1.57;

// ---- Power and torque

// Mean effective pressure x displacement x speed per horsepower, psi ci rpm
// per hp: mep = hp x 802973 / (ci x rpm). (A four-stroke's 2 revolutions a
// cycle x 12 in/ft x 33000 ft-lbf/min per hp give 792000; the model takes 802973.)
inline constexpr double kMepCubicInchRpmPerHorsepower = 802973.0;
// The other way, hp per psi ci rpm: 1 / 802973 worked out in single
// precision, as the power figure takes it.
inline constexpr double kHorsepowerPerMepCubicInchRpm =
    static_cast<double>(1.0f / static_cast<float>(kMepCubicInchRpmPerHorsepower));
static_assert(kHorsepowerPerMepCubicInchRpm == 1.2453718909455347e-06);
// Torque from power, lb-ft rpm per hp: torque = hp x 5250 / rpm (33000 / 2 pi = 5252).
inline constexpr double kTorqueRpmPerHorsepower = 5250.0;

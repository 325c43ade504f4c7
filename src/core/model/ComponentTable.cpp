#include "ComponentTable.h"

#include "base/Assertion.h"

#include <array>
#include <cstddef>
#include <iterator>

namespace {

// Each row: menu command, part-type index, stored name, values (English units), metric flag.
// clang-format off
// Short blocks: bore (in), stroke (in), cylinders
constexpr ComponentChoice kShortBlocks[] = {
    {33100, 1, "Buick 112 4-OHC", {3.56f, 2.96f, 4.0f}, 0},
    {33101, 2, "Buick 121 4-Cyl", {3.56f, 3.2f, 4.0f}, 0},
    {33102, 3, "Buick 151 Irn Duke", {4.0f, 3.0f, 4.0f}, 0},
    {33103, 4, "Buick 173", {3.5f, 3.0f, 6.0f}, 0},
    {33104, 5, "Buick 181", {3.8f, 2.66f, 6.0f}, 0},
    {33105, 6, "Buick 231", {3.8f, 3.4f, 6.0f}, 0},
    {33106, 7, "Buick 252", {3.97f, 3.4f, 6.0f}, 0},
    {33107, 8, "Buick 305", {3.735f, 3.48f, 8.0f}, 0},
    {33108, 9, "Buick 350", {3.8f, 3.85f, 8.0f}, 0},
    {33109, 10, "Buick 350", {4.057f, 3.38f, 8.0f}, 0},
    {33110, 11, "Buick 400", {4.04f, 3.9f, 8.0f}, 0},
    {33111, 12, "Buick 430", {4.188f, 3.9f, 8.0f}, 0},
    {33112, 13, "Buick 455", {4.313f, 3.9f, 8.0f}, 0},
    {33113, 14, "Chevy 98 4-OHC", {3.23f, 2.98f, 4.0f}, 0},
    {33114, 15, "Chevy 108 1.8L DOHC", {3.2f, 3.4f, 4.0f}, 0},
    {33115, 16, "Chevy 112 1.8L Turbo", {3.34f, 3.13f, 4.0f}, 0},
    {33116, 17, "Chevy 121 2.0L", {3.5f, 3.15f, 4.0f}, 0},
    {33117, 18, "Chevy 135 2.2L L4", {3.5f, 3.46f, 4.0f}, 0},
    {33118, 19, "Chevy 146 2.4L LD9", {3.54f, 3.7f, 4.0f}, 0},
    {33119, 20, "Chevy 151 Iron Duke", {4.0f, 3.0f, 4.0f}, 0},
    {33120, 21, "Chevy 173 2.8L", {3.5f, 3.0f, 6.0f}, 0},
    {33121, 22, "Chevy 181 3.0L", {3.8f, 2.66f, 6.0f}, 0},
    {33122, 23, "Chevy 191 3.1L", {3.51f, 3.31f, 6.0f}, 0},
    {33123, 24, "Chevy 209 3.4L", {3.62f, 3.31f, 6.0f}, 0},
    {33124, 25, "Chevy 229 3.8L", {3.0f, 3.735f, 6.0f}, 0},
    {33125, 26, "Chevy 231 3.8L", {3.8f, 3.4f, 6.0f}, 0},
    {33126, 27, "Chevy 262 4.3L", {4.0f, 3.48f, 6.0f}, 0},
    {33127, 28, "Chevy 262", {3.671f, 3.1f, 8.0f}, 0},
    {33128, 29, "Chevy 265", {3.75f, 3.0f, 8.0f}, 0},
    {33129, 30, "Chevy 267", {3.5f, 3.48f, 8.0f}, 0},
    {33130, 31, "Chevy 283", {3.875f, 3.0f, 8.0f}, 0},
    {33131, 32, "Chevy 302", {4.0f, 3.0f, 8.0f}, 0},
    {33132, 33, "Chevy 305", {3.735f, 3.48f, 8.0f}, 0},
    {33133, 34, "Chevy 307", {3.875f, 3.25f, 8.0f}, 0},
    {33134, 35, "Chevy 327", {4.0f, 3.25f, 8.0f}, 0},
    {33135, 36, "Chevy 350", {4.0f, 3.48f, 8.0f}, 0},
    {33136, 37, "Chevy 383", {4.03f, 3.75f, 8.0f}, 0},
    {33137, 38, "Chevy 400", {4.125f, 3.75f, 8.0f}, 0},
    {33138, 39, "Chevy 396", {4.094f, 3.76f, 8.0f}, 0},
    {33139, 40, "Chevy 402", {4.126f, 3.76f, 8.0f}, 0},
    {33140, 41, "Chevy 427", {4.25f, 3.76f, 8.0f}, 0},
    {33141, 42, "Chevy 454", {4.251f, 4.0f, 8.0f}, 0},
    {33142, 43, "Chevy 502", {4.47f, 4.0f, 8.0f}, 0},
    {33143, 44, "Chrysler 104.7 OHC", {3.13f, 3.4f, 4.0f}, 0},
    {33144, 45, "Chrysler 135 2.2L", {3.44f, 3.62f, 4.0f}, 0},
    {33145, 46, "Chrysler 153 2.5L", {3.44f, 4.09f, 4.0f}, 0},
    {33146, 47, "Chrysler 156 2.6L", {3.59f, 3.86f, 4.0f}, 0},
    {33147, 48, "Chrysler 181 3.0L", {3.586f, 2.99f, 6.0f}, 0},
    {33148, 49, "Chrysler 182 3.0L", {3.66f, 2.87f, 6.0f}, 0},
    {33149, 50, "Chrysler 198 Slant-6", {3.4f, 3.64f, 6.0f}, 0},
    {33150, 51, "Chrysler 225 Slant-6", {3.4f, 4.12f, 6.0f}, 0},
    {33151, 52, "Chrysler 273", {3.63f, 3.313f, 8.0f}, 0},
    {33152, 53, "Chrysler 318", {3.91f, 3.313f, 8.0f}, 0},
    {33153, 54, "Chrysler 340", {4.04f, 3.313f, 8.0f}, 0},
    {33154, 55, "Chrysler 360", {4.0f, 3.58f, 8.0f}, 0},
    {33155, 56, "Chrysler 383", {4.25f, 3.38f, 8.0f}, 0},
    {33156, 57, "Chrysler 400", {4.342f, 3.38f, 8.0f}, 0},
    {33157, 58, "Chrysler 413", {4.19f, 3.75f, 8.0f}, 0},
    {33158, 59, "Chrysler 426", {4.25f, 3.75f, 8.0f}, 0},
    {33159, 60, "Chrysler 440", {4.32f, 3.75f, 8.0f}, 0},
    {33160, 61, "Ford 98  1.6L", {3.15f, 3.13f, 4.0f}, 0},
    {33161, 62, "Ford 140 2.3L", {3.78f, 3.126f, 4.0f}, 0},
    {33162, 63, "Ford 182 3.0L", {3.5f, 3.14f, 6.0f}, 0},
    {33163, 64, "Ford 182 SHO", {3.5f, 3.2f, 6.0f}, 0},
    {33164, 65, "Ford 232 3.8L", {3.81f, 3.39f, 6.0f}, 0},
    {33165, 66, "Ford 244 4.0L", {3.31f, 3.94f, 6.0f}, 0},
    {33166, 67, "Ford 281 4.6L", {3.55f, 3.55f, 8.0f}, 0},
    {33167, 68, "Ford 289", {4.0f, 2.87f, 8.0f}, 0},
    {33168, 69, "Ford 302", {4.002f, 3.0f, 8.0f}, 0},
    {33169, 70, "Ford 351", {4.002f, 3.5f, 8.0f}, 0},
    {33170, 71, "Ford 390", {4.05f, 3.78f, 8.0f}, 0},
    {33171, 72, "Ford 400", {4.0f, 4.0f, 8.0f}, 0},
    {33172, 73, "Ford 429", {4.362f, 3.59f, 8.0f}, 0},
    {33173, 74, "Ford 460", {4.362f, 3.85f, 8.0f}, 0},
    {33174, 75, "GMC 108 1.8L DOHC", {3.2f, 3.4f, 4.0f}, 0},
    {33175, 76, "GMC 135 2.2L L4", {3.5f, 3.46f, 4.0f}, 0},
    {33176, 77, "GMC 146 2.4L LD9", {3.54f, 3.7f, 4.0f}, 0},
    {33177, 78, "GMC 151 Iron Duke", {4.0f, 3.0f, 4.0f}, 0},
    {33178, 79, "GMC 173 2.8L", {3.5f, 3.0f, 6.0f}, 0},
    {33179, 80, "GMC 191 3.1L SFI", {3.51f, 3.31f, 6.0f}, 0},
    {33180, 81, "GMC 209 3.4L DOHC", {3.62f, 3.31f, 6.0f}, 0},
    {33181, 82, "GMC 262 4.3L", {4.0f, 3.48f, 6.0f}, 0},
    {33182, 83, "GMC 305", {3.735f, 3.48f, 8.0f}, 0},
    {33183, 84, "GMC 350", {4.0f, 3.48f, 8.0f}, 0},
    {33184, 85, "GMC 454", {4.251f, 4.0f, 8.0f}, 0},
    {33185, 86, "Olds 112 1.8L", {3.34f, 3.13f, 4.0f}, 0},
    {33186, 87, "Olds 121 2.0L", {3.5f, 3.15f, 4.0f}, 0},
    {33187, 88, "Olds 138 2.3L Quad4", {3.35f, 3.62f, 4.0f}, 0},
    {33188, 89, "Olds 151 2.5L Tech4", {4.0f, 3.0f, 4.0f}, 0},
    {33189, 90, "Olds 173 2.8L", {3.5f, 3.0f, 6.0f}, 0},
    {33190, 91, "Olds 181 3.0L", {3.8f, 2.66f, 6.0f}, 0},
    {33191, 92, "Olds 231 3.8L", {3.8f, 3.4f, 6.0f}, 0},
    {33192, 93, "Olds 252 4.1L", {3.965f, 3.4f, 6.0f}, 0},
    {33193, 94, "Olds 307", {3.8f, 3.385f, 8.0f}, 0},
    {33194, 95, "Olds 350", {4.057f, 3.385f, 8.0f}, 0},
    {33195, 96, "Olds 400", {4.0f, 3.975f, 8.0f}, 0},
    {33196, 97, "Olds 400", {3.87f, 4.25f, 8.0f}, 0},
    {33197, 98, "Olds 403", {4.351f, 3.385f, 8.0f}, 0},
    {33198, 99, "Olds 455", {4.126f, 4.25f, 8.0f}, 0},
    {33199, 100, "Pontiac 98 4-OHC", {3.23f, 2.98f, 4.0f}, 0},
    {33200, 101, "Pontiac 112 1.8L", {3.34f, 3.13f, 4.0f}, 0},
    {33201, 102, "Pontiac 138 2.3L Quad4", {3.35f, 3.62f, 4.0f}, 0},
    {33202, 103, "Pontiac 121 2.0L", {3.5f, 3.15f, 4.0f}, 0},
    {33203, 104, "Pontiac 151 2.5L Tech4", {4.0f, 3.0f, 4.0f}, 0},
    {33204, 105, "Pontiac 173 2.8L", {3.5f, 3.0f, 6.0f}, 0},
    {33205, 106, "Pontiac 181 3.0L", {3.8f, 2.66f, 6.0f}, 0},
    {33206, 107, "Pontiac 231 3.8L", {3.8f, 3.4f, 6.0f}, 0},
    {33207, 108, "Pontiac 260", {3.5f, 3.385f, 8.0f}, 0},
    {33208, 109, "Pontiac 301", {4.0f, 3.0f, 8.0f}, 0},
    {33209, 110, "Pontiac 305", {3.735f, 3.48f, 8.0f}, 0},
    {33210, 111, "Pontiac 350", {3.876f, 3.75f, 8.0f}, 0},
    {33211, 112, "Pontiac 389", {4.06f, 3.75f, 8.0f}, 0},
    {33212, 113, "Pontiac 400", {4.121f, 3.75f, 8.0f}, 0},
    {33213, 114, "Pontiac 455", {4.152f, 4.21f, 8.0f}, 0},
    {33214, 115, "Audi 2.3L", {3.25f, 3.4f, 5.0f}, 0},
    {33215, 116, "Audi 2.8L", {3.25f, 3.4f, 6.0f}, 0},
    {33216, 117, "Audi 3.7L", {3.32f, 3.24f, 8.0f}, 0},
    {33217, 118, "Audi 4.2L", {3.32f, 3.66f, 8.0f}, 0},
    {33218, 119, "BMW 1.8L", {3.31f, 3.19f, 4.0f}, 0},
    {33219, 120, "BMW 2.0L", {3.15f, 2.6f, 4.0f}, 0},
    {33220, 121, "BMW 2.5L", {3.31f, 2.95f, 6.0f}, 0},
    {33221, 122, "BMW 3.0L", {3.39f, 3.38f, 6.0f}, 0},
    {33222, 123, "BMW 3.2L", {3.4f, 3.53f, 6.0f}, 0},
    {33223, 124, "BMW 3.5L", {3.67f, 3.3f, 6.0f}, 0},
    {33224, 125, "BMW 3.0L", {2.94f, 2.66f, 8.0f}, 0},
    {33225, 126, "BMW 4.0L", {3.5f, 3.15f, 8.0f}, 0},
    {33226, 127, "BMW 4.4L", {3.62f, 3.26f, 8.0f}, 0},
    {33227, 128, "BMW 5.4L", {3.35f, 3.11f, 12.0f}, 0},
    {33228, 129, "Datsun 2.4L", {3.27f, 2.9f, 6.0f}, 0},
    {33229, 130, "Datsun 2.6L", {3.27f, 3.11f, 6.0f}, 0},
    {33230, 131, "Datsun 2.8L", {3.39f, 3.11f, 6.0f}, 0},
    {33231, 132, "Honda 1.5L", {2.91f, 3.41f, 4.0f}, 0},
    {33232, 133, "Honda 1.9L", {3.19f, 3.5f, 4.0f}, 0},
    {33233, 134, "Honda 2.2L", {3.43f, 3.57f, 4.0f}, 0},
    {33234, 135, "Honda 2.5L", {3.31f, 2.95f, 6.0f}, 0},
    {33235, 136, "Honda 2.7L", {3.43f, 2.95f, 6.0f}, 0},
    {33236, 137, "Honda 3.0L", {3.54f, 3.07f, 6.0f}, 0},
    {33237, 138, "Honda 3.2L", {3.54f, 3.31f, 6.0f}, 0},
    {33238, 139, "Hyundai 1.3L", {2.8f, 3.23f, 4.0f}, 0},
    {33239, 140, "Hyundai 1.5L", {2.97f, 3.29f, 4.0f}, 0},
    {33240, 141, "Hyundai 1.6L", {3.24f, 2.95f, 4.0f}, 0},
    {33241, 142, "Hyundai 1.8L", {3.23f, 3.35f, 4.0f}, 0},
    {33242, 143, "Hyundai 2.0L", {3.23f, 3.68f, 4.0f}, 0},
    {33243, 144, "Hyundai 2.4L", {3.41f, 3.94f, 4.0f}, 0},
    {33244, 145, "Hyundai 3.0L", {3.59f, 2.99f, 6.0f}, 0},
    {33245, 146, "Lamborghini 4.0L", {3.23f, 2.44f, 12.0f}, 0},
    {33246, 147, "Lamborghini 5.5L", {3.43f, 3.15f, 12.0f}, 0},
    {33247, 148, "Mazda 1.6L", {3.07f, 3.29f, 4.0f}, 0},
    {33248, 149, "Mazda 1.8L", {3.27f, 3.35f, 4.0f}, 0},
    {33249, 150, "Mazda 2.0L", {3.39f, 3.39f, 4.0f}, 0},
    {33250, 151, "Mazda 2.2L", {3.39f, 3.7f, 4.0f}, 0},
    {33251, 152, "Mazda 1.9L", {2.95f, 2.74f, 6.0f}, 0},
    {33252, 153, "Mazda 2.3L", {3.16f, 2.92f, 6.0f}, 0},
    {33253, 154, "Mazda 2.5L", {3.33f, 2.92f, 6.0f}, 0},
    {33254, 155, "Mazda 3.0L", {3.54f, 3.05f, 6.0f}, 0},
    {33255, 156, "Mercedes 3.2L", {3.54f, 3.3f, 6.0f}, 0},
    {33256, 157, "Mercedes 4.2L", {3.62f, 3.11f, 8.0f}, 0},
    {33257, 158, "Mercedes 5.0L", {3.8f, 3.35f, 8.0f}, 0},
    {33258, 159, "Mercedes 6.0L", {3.5f, 3.16f, 12.0f}, 0},
    {33259, 160, "Mitsubishi 1.5L", {2.97f, 3.23f, 4.0f}, 0},
    {33260, 161, "Mitsubishi 1.6L", {3.03f, 3.39f, 4.0f}, 0},
    {33261, 162, "Mitsubishi 1.8L", {3.19f, 3.5f, 4.0f}, 0},
    {33262, 163, "Mitsubishi 2.0L", {3.35f, 3.46f, 4.0f}, 0},
    {33263, 164, "Mitsubishi 2.4L", {3.41f, 3.94f, 4.0f}, 0},
    {33264, 165, "Mitsubishi 2.5L", {3.29f, 2.99f, 6.0f}, 0},
    {33265, 166, "Mitsubishi 3.0L", {3.59f, 2.99f, 6.0f}, 0},
    {33266, 167, "Mitsubishi 3.5L", {3.66f, 3.38f, 6.0f}, 0},
    {33267, 168, "Nissan 1.8L", {3.27f, 3.29f, 4.0f}, 0},
    {33268, 169, "Nissan 2.0L", {3.39f, 3.39f, 4.0f}, 0},
    {33269, 170, "Nissan 2.4L", {3.5f, 3.78f, 4.0f}, 0},
    {33270, 171, "Nissan 2.6L", {3.39f, 2.89f, 4.0f}, 0},
    {33271, 172, "Nissan 3.0L", {3.43f, 3.27f, 6.0f}, 0},
    {33272, 173, "Nissan 4.1L", {3.66f, 2.99f, 8.0f}, 0},
    {33273, 174, "Nissan 4.5L", {3.66f, 3.26f, 8.0f}, 0},
    {33274, 175, "Porsche 2.0L", {3.7f, 2.8f, 4.0f}, 0},
    {33275, 176, "Porsche 2.5L", {3.94f, 3.11f, 4.0f}, 0},
    {33276, 177, "Porsche 3.0L", {4.09f, 3.46f, 4.0f}, 0},
    {33277, 178, "Porsche 2.5L", {3.4f, 2.8f, 6.0f}, 0},
    {33278, 179, "Porsche 2.8L", {3.74f, 2.64f, 6.0f}, 0},
    {33279, 180, "Porsche 3.3L", {3.82f, 2.93f, 6.0f}, 0},
    {33280, 181, "Porsche 3.6L", {3.94f, 3.01f, 6.0f}, 0},
    {33281, 182, "Porsche 5.0L", {3.94f, 3.11f, 8.0f}, 0},
    {33282, 183, "Porsche 5.4L", {3.94f, 3.39f, 8.0f}, 0},
    {33283, 184, "Saab 2.0L", {3.54f, 3.07f, 4.0f}, 0},
    {33284, 185, "Saab 2.3L", {3.54f, 3.54f, 4.0f}, 0},
    {33285, 186, "Subaru 2.5L", {3.92f, 3.11f, 4.0f}, 0},
    {33286, 187, "Subaru 3.3L", {3.82f, 2.95f, 6.0f}, 0},
    {33287, 188, "Toyota 1.3L", {2.91f, 3.05f, 4.0f}, 0},
    {33288, 189, "Toyota 1.6L", {3.19f, 3.03f, 4.0f}, 0},
    {33289, 190, "Toyota 2.2L", {3.43f, 3.58f, 4.0f}, 0},
    {33290, 191, "Toyota 3.0L", {3.78f, 4.06f, 4.0f}, 0},
    {33291, 192, "Toyota 3.4L", {4.02f, 4.13f, 4.0f}, 0},
    {33292, 193, "Toyota 2.5L", {3.44f, 2.74f, 6.0f}, 0},
    {33293, 194, "Toyota 2.8L", {3.27f, 3.35f, 6.0f}, 0},
    {33294, 195, "Toyota 3.0L", {3.39f, 3.39f, 6.0f}, 0},
    {33295, 196, "Toyota 4.7L", {3.94f, 3.74f, 8.0f}, 0},
    {33296, 197, "Volkswagen 1.2L", {3.03f, 2.52f, 4.0f}, 0},
    {33297, 198, "Volkswagen 1.6L", {3.01f, 3.4f, 4.0f}, 0},
    {33298, 199, "Volkswagen 1.8L", {3.19f, 3.4f, 4.0f}, 0},
    {33299, 200, "Volkswagen 2.0L", {3.25f, 3.65f, 4.0f}, 0},
    {33300, 201, "Volkswagen 2.4L", {3.7f, 3.39f, 4.0f}, 0},
    {33301, 202, "Volkswagen 2.3L", {3.19f, 3.4f, 5.0f}, 0},
    {33302, 203, "Volkswagen 2.8L", {3.19f, 3.56f, 6.0f}, 0},
    {33303, 204, "Volvo 2.4L", {3.27f, 3.54f, 5.0f}, 0},
    {33304, 205, "Volvo 2.9L", {3.27f, 3.54f, 6.0f}, 0},
};

// Cylinder heads: intake and exhaust valves per cylinder
constexpr ComponentChoice kCylinderHeads[] = {
    {32795, 1, "Low Performance/Stock Ports And Valves", {1.0f, 1.0f}, 0},
    {32796, 2, "Low Performance/Pocket Porting", {1.0f, 1.0f}, 0},
    {32797, 3, "Low Performance/Ported, Large Valves", {1.0f, 1.0f}, 0},
    {32798, 4, "Wedge/Stock Ports And Valves", {1.0f, 1.0f}, 0},
    {32799, 5, "Wedge/Pocket Porting, Stock Valve Size", {1.0f, 1.0f}, 0},
    {32800, 6, "Wedge/Pocket Porting, Large Valves", {1.0f, 1.0f}, 0},
    {32801, 7, "Wedge/Fully Ported, Large Valves", {1.0f, 1.0f}, 0},
    {32802, 8, "Wedge/Pro-Stock Porting And Mods", {1.0f, 1.0f}, 0},
    {32803, 9, "Canted/Oval Stock Ports, Stock Valves", {1.0f, 1.0f}, 0},
    {32804, 10, "Canted/Oval Pocket Ported, Stock Valves", {1.0f, 1.0f}, 0},
    {32805, 11, "Canted/Oval Pocket Ported, Large Valves", {1.0f, 1.0f}, 0},
    {32806, 12, "Canted/Rectangular Ports, Fully Ported", {1.0f, 1.0f}, 0},
    {32807, 13, "Canted/Rectangular Pro-Stock Ports/Mods", {1.0f, 1.0f}, 0},
    {32808, 14, "4-Valve Head/Stock Ports And Valves", {2.0f, 2.0f}, 0},
    {32809, 15, "4-Valve Head/Ported With Large Valves", {2.0f, 2.0f}, 0},
    {32810, 16, "4-Valve Head/Race Porting And Mods", {2.0f, 2.0f}, 0},
};

// Intake valve diameters (in)
constexpr ComponentChoice kIntakeValveDiameters[] = {
    {33045, 0, nullptr, {1.20f}, 0},
    {33046, 0, nullptr, {1.30f}, 0},
    {33047, 0, nullptr, {1.40f}, 0},
    {33048, 0, nullptr, {1.50f}, 0},
    {33049, 0, nullptr, {1.60f}, 0},
    {33050, 0, nullptr, {1.80f}, 0},
    {33051, 0, nullptr, {1.94f}, 0},
    {33052, 0, nullptr, {2.02f}, 0},
    {33053, 0, nullptr, {2.08f}, 0},
    {33054, 0, nullptr, {2.19f}, 0},
    {33055, 0, nullptr, {2.30f}, 0},
    {33056, 0, nullptr, {2.40f}, 0},
    {33057, 0, nullptr, {2.50f}, 0},
};

// Exhaust valve diameters (in)
constexpr ComponentChoice kExhaustValveDiameters[] = {
    {33058, 0, nullptr, {1.00f}, 0},
    {33059, 0, nullptr, {1.10f}, 0},
    {33060, 0, nullptr, {1.20f}, 0},
    {33061, 0, nullptr, {1.25f}, 0},
    {33062, 0, nullptr, {1.30f}, 0},
    {33063, 0, nullptr, {1.40f}, 0},
    {33064, 0, nullptr, {1.50f}, 0},
    {33065, 0, nullptr, {1.60f}, 0},
    {33066, 0, nullptr, {1.65f}, 0},
    {33067, 0, nullptr, {1.73f}, 0},
    {33068, 0, nullptr, {1.90f}, 0},
    {33069, 0, nullptr, {1.95f}, 0},
    {33070, 0, nullptr, {2.00f}, 0},
};

// Intake valve lifts (in)
constexpr ComponentChoice kIntakeValveLifts[] = {
    {33071, 0, nullptr, {0.300f}, 0},
    {33072, 0, nullptr, {0.350f}, 0},
    {33073, 0, nullptr, {0.400f}, 0},
    {33074, 0, nullptr, {0.450f}, 0},
    {33075, 0, nullptr, {0.500f}, 0},
    {33076, 0, nullptr, {0.550f}, 0},
    {33077, 0, nullptr, {0.600f}, 0},
    {33078, 0, nullptr, {0.650f}, 0},
    {33079, 0, nullptr, {0.700f}, 0},
    {33080, 0, nullptr, {0.750f}, 0},
    {33081, 0, nullptr, {0.800f}, 0},
};

// Exhaust valve lifts (in)
constexpr ComponentChoice kExhaustValveLifts[] = {
    {33082, 0, nullptr, {0.300f}, 0},
    {33083, 0, nullptr, {0.350f}, 0},
    {33084, 0, nullptr, {0.400f}, 0},
    {33085, 0, nullptr, {0.450f}, 0},
    {33086, 0, nullptr, {0.500f}, 0},
    {33087, 0, nullptr, {0.550f}, 0},
    {33088, 0, nullptr, {0.600f}, 0},
    {33089, 0, nullptr, {0.650f}, 0},
    {33090, 0, nullptr, {0.700f}, 0},
    {33091, 0, nullptr, {0.750f}, 0},
    {33092, 0, nullptr, {0.800f}, 0},
};

// Compression ratios
constexpr ComponentChoice kCompressionRatios[] = {
    {32874, 0, nullptr, {8.0f}, 0},
    {32875, 0, nullptr, {8.5f}, 0},
    {32876, 0, nullptr, {9.0f}, 0},
    {32877, 0, nullptr, {9.5f}, 0},
    {32878, 0, nullptr, {10.0f}, 0},
    {32879, 0, nullptr, {10.5f}, 0},
    {32880, 0, nullptr, {11.0f}, 0},
    {32881, 0, nullptr, {11.5f}, 0},
    {32882, 0, nullptr, {12.0f}, 0},
    {32883, 0, nullptr, {12.5f}, 0},
    {32884, 0, nullptr, {13.0f}, 0},
    {32885, 0, nullptr, {13.5f}, 0},
    {32886, 0, nullptr, {14.0f}, 0},
    {32887, 0, nullptr, {14.5f}, 0},
    {32888, 0, nullptr, {15.0f}, 0},
    {32889, 0, nullptr, {15.5f}, 0},
    {32890, 0, nullptr, {16.0f}, 0},
};

// Induction: flow (cfm), rating pressure drop (inHg)
constexpr ComponentChoice kInduction[] = {
    {32844, 0, nullptr, {300.0f, 3.0f}, 0},
    {32845, 0, nullptr, {350.0f, 3.0f}, 0},
    {32846, 0, nullptr, {500.0f, 3.0f}, 0},
    {32847, 0, nullptr, {600.0f, 3.0f}, 0},
    {32848, 0, nullptr, {300.0f, 1.5f}, 0},
    {32849, 0, nullptr, {400.0f, 1.5f}, 0},
    {32850, 0, nullptr, {500.0f, 1.5f}, 0},
    {32851, 0, nullptr, {600.0f, 1.5f}, 0},
    {32852, 0, nullptr, {660.0f, 1.5f}, 0},
    {32853, 0, nullptr, {700.0f, 1.5f}, 0},
    {32854, 0, nullptr, {750.0f, 1.5f}, 0},
    {32855, 0, nullptr, {780.0f, 1.5f}, 0},
    {32856, 0, nullptr, {800.0f, 1.5f}, 0},
    {32857, 0, nullptr, {850.0f, 1.5f}, 0},
    {32858, 0, nullptr, {900.0f, 1.5f}, 0},
    {32859, 0, nullptr, {1000.0f, 1.5f}, 0},
    {32860, 0, nullptr, {1100.0f, 1.5f}, 0},
};

// Intake manifolds
constexpr ComponentChoice kManifolds[] = {
    {32837, 1, "Single-Plane Manifold", {}, 0},
    {32838, 2, "Dual-Plane Manifold", {}, 0},
    {32839, 3, "Tunnel-Ram Manifold", {}, 0},
    {32840, 4, "Individual Runner (I.R.)", {}, 0},
    {32841, 5, "Tuned-Port Injection", {}, 0},
    {32842, 6, "Sequential-Fire Injection", {}, 0},
    {32843, 7, "Forced Induction", {}, 0},
};

// Forced induction: class (1 turbo, 2 centrifugal, 3 Roots), flow (cfm), pressure ratio, efficiency (%),
// rated speed (rpm), surge flow (cfm), internal gear ratio, belt gear ratio, boost limit (psi)
constexpr ComponentChoice kForcedInduction[] = {
    {32964, 1, "None", {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}, 0},
    {32965, 2, "Turbo- Air Research TB301", {1.0f, 245.0f, 1.8f, 77.0f, 82000.0f, 105.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32966, 3, "Turbo-Air Research TO3", {1.0f, 300.0f, 1.3f, 72.0f, 100000.0f, 200.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32967, 4, "Turbo-Air Research TO4B V-1", {1.0f, 450.0f, 2.1f, 75.0f, 90000.0f, 300.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32968, 5, "Turbo-Air Research TO4B S-3", {1.0f, 300.0f, 1.8f, 73.0f, 87000.0f, 200.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32969, 6, "Turbo-Garrett T45 48-9", {1.0f, 350.0f, 1.75f, 77.0f, 85000.0f, 275.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32970, 7, "Turbo-Garrett T51 42-3", {1.0f, 350.0f, 1.7f, 75.0f, 85000.0f, 260.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32971, 8, "Turbo-Garrett T51 44-2", {1.0f, 390.0f, 1.8f, 76.0f, 85000.0f, 275.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32972, 9, "Turbo-Garrett T51 48-10", {1.0f, 430.0f, 1.83f, 77.0f, 87000.0f, 325.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32973, 10, "Turbo-Garrett T51 50-4", {1.0f, 470.0f, 1.9f, 78.0f, 90000.0f, 325.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32974, 11, "Turbo-Garrett T51 54-3", {1.0f, 525.0f, 1.8f, 77.0f, 87000.0f, 365.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32975, 12, "Turbo-Garrett TMF55 50*65", {1.0f, 650.0f, 2.2f, 78.0f, 92000.0f, 300.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32976, 13, "Turbo-Garrett TO4B 60*50", {1.0f, 365.0f, 1.9f, 76.0f, 90000.0f, 275.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32977, 14, "Turbo-Garrett TP30 52", {1.0f, 420.0f, 1.8f, 77.0f, 87000.0f, 300.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32978, 15, "Turbo-Garrett TV45 48*65", {1.0f, 460.0f, 2.1f, 76.0f, 92000.0f, 225.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32979, 16, "Turbo-Rajay 300B", {1.0f, 120.0f, 1.7f, 70.0f, 55000.0f, 80.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32980, 17, "Turbo-Rajay 302B", {1.0f, 120.0f, 1.7f, 70.0f, 54000.0f, 75.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32981, 18, "Turbo-Rajay 300E", {1.0f, 300.0f, 1.6f, 70.0f, 66000.0f, 180.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32982, 19, "Turbo-Rajay 300F", {1.0f, 200.0f, 1.7f, 72.0f, 80000.0f, 165.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32983, 20, "Turbo-Rajay 304E", {1.0f, 300.0f, 1.6f, 70.0f, 70000.0f, 190.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32984, 21, "Turbo-Rajay 370E", {1.0f, 300.0f, 1.6f, 70.0f, 65000.0f, 200.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32985, 22, "Turbo-Roto-master V-2", {1.0f, 300.0f, 1.8f, 70.0f, 75000.0f, 200.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32986, 23, "Turbo-Roto-master HI-FLO R11", {1.0f, 400.0f, 1.6f, 72.0f, 70000.0f, 200.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32987, 24, "Turbo-Roto-master TO4B S-4", {1.0f, 300.0f, 1.75f, 74.0f, 81000.0f, 220.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32988, 25, "Turbo-Roto-master TO4B Y-4", {1.0f, 210.0f, 1.7f, 72.0f, 80000.0f, 110.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32989, 26, "Turbo-Roto-master TO4B V-2", {1.0f, 420.0f, 2.0f, 76.0f, 92000.0f, 300.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32990, 27, "Turbo-Schwitzer 3LD305", {1.0f, 380.0f, 2.1f, 70.0f, 85000.0f, 290.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32991, 28, "Turbo-Schwitzer 3LD279", {1.0f, 300.0f, 2.0f, 70.0f, 86000.0f, 200.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32992, 29, "Turbo-Schwitzer 3LD198", {1.0f, 220.0f, 1.9f, 70.0f, 84000.0f, 170.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32993, 30, "Turbo-Schwitzer 4LE556", {1.0f, 400.0f, 1.8f, 75.0f, 85000.0f, 300.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32994, 31, "Turbo-Schwitzer 4LE444", {1.0f, 500.0f, 2.2f, 73.0f, 90000.0f, 400.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32995, 32, "Turbo-Schwitzer 4MD459", {1.0f, 600.0f, 2.4f, 73.0f, 91000.0f, 420.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32996, 33, "Turbo-Warner-Ishi RHB5 311A", {1.0f, 190.0f, 1.8f, 76.0f, 70000.0f, 50.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32997, 34, "Turbo-Warner-Ishi RHB5 393B", {1.0f, 275.0f, 1.8f, 76.0f, 75000.0f, 50.0f, 0.0f, 0.0f, 10.0f}, 0},
    {32998, 35, "Custom Turbo", {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f}, 0},
    {32999, 36, "Centrifugal- Paxton", {2.0f, 330.0f, 1.35f, 62.0f, 28000.0f, 0.0f, 4.4f, 1.0f, 10.0f}, 0},
    {33000, 37, "Centrifugal- Paxton NOVI 2000", {2.0f, 775.0f, 2.2f, 70.0f, 41000.0f, 0.0f, 3.54f, 1.0f, 10.0f}, 0},
    {33001, 38, "Centrifugal- Paxton SN 2000", {2.0f, 330.0f, 1.35f, 60.0f, 28000.0f, 0.0f, 3.54f, 1.0f, 10.0f}, 0},
    {33002, 39, "Centrifugal- Vortech V1-A", {2.0f, 400.0f, 1.5f, 65.0f, 32000.0f, 0.0f, 3.45f, 1.0f, 10.0f}, 0},
    {33003, 40, "Centrifugal- Vortech V1-B", {2.0f, 450.0f, 1.55f, 65.0f, 33000.0f, 0.0f, 3.45f, 1.0f, 10.0f}, 0},
    {33004, 41, "Centrifugal- Vortech V2-S", {2.0f, 650.0f, 1.55f, 73.0f, 33000.0f, 0.0f, 3.45f, 1.0f, 10.0f}, 0},
    {33005, 42, "Centrifugal- Vortech V3-J", {2.0f, 880.0f, 1.9f, 70.0f, 40000.0f, 0.0f, 3.45f, 1.0f, 10.0f}, 0},
    {33006, 43, "Centrifugal- Vortech V3-R", {2.0f, 900.0f, 1.9f, 70.0f, 57000.0f, 0.0f, 3.45f, 1.0f, 10.0f}, 0},
    {33007, 44, "Centrifugal- Vortech V3-S", {2.0f, 650.0f, 1.55f, 65.0f, 38000.0f, 0.0f, 3.45f, 1.0f, 10.0f}, 0},
    {33008, 45, "Centrifugal- Vortech V4-T", {2.0f, 900.0f, 1.95f, 65.0f, 55000.0f, 0.0f, 3.45f, 1.0f, 10.0f}, 0},
    {33009, 46, "Custom Centrigual Blower", {2.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}, 0},
    {33010, 47, "Roots- B&&M 144 Powercharger", {3.0f, 144.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33011, 48, "Roots- B&&M 162 Powercharger", {3.0f, 162.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33012, 49, "Roots- B&&M 174 Powercharger", {3.0f, 174.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33013, 50, "Roots- B&&M 250 Powercharger", {3.0f, 250.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33014, 51, "Roots- B&&M 420 Megablower", {3.0f, 420.0f, 0.0f, 60.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33015, 52, "Roots- BDS 471 (Street)", {3.0f, 260.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33016, 53, "Roots- BDS 671 (Street)", {3.0f, 390.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33017, 54, "Roots- BDS 871 (Street)", {3.0f, 440.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33018, 55, "Roots- BDS 871 (Competition)", {3.0f, 440.0f, 0.0f, 60.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33019, 56, "Roots- BDS 1071 (Competition)", {3.0f, 468.0f, 0.0f, 60.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33020, 57, "Roots- BDS 1271 (Competition)", {3.0f, 495.0f, 0.0f, 60.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33021, 58, "Roots- BDS 1471 (Competition)", {3.0f, 523.0f, 0.0f, 60.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33022, 59, "Roots- BDS 871 (Race)", {3.0f, 440.0f, 0.0f, 60.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33023, 60, "Roots- BDS 1071 (Race)", {3.0f, 468.0f, 0.0f, 65.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33024, 61, "Roots- BDS 1271 (Race)", {3.0f, 495.0f, 0.0f, 65.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33025, 62, "Roots- BDS 1471 (Race)", {3.0f, 523.0f, 0.0f, 65.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33026, 63, "Roots- Weiand 142", {3.0f, 142.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33027, 64, "Roots- Weiand 177", {3.0f, 177.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33028, 65, "Roots- Weiand 256", {3.0f, 256.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33029, 66, "Roots- Weiand 671", {3.0f, 411.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33030, 67, "Roots- Weiand 871", {3.0f, 436.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33031, 68, "Roots- Weiand 1071", {3.0f, 469.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33032, 69, "Roots- Weiand 1271", {3.0f, 497.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33033, 70, "Roots- Weiand 1471", {3.0f, 522.0f, 0.0f, 55.0f, 0.0f, 0.0f, 1.0f, 1.0f, 10.0f}, 0},
    {33034, 71, "Custom Roots Blower", {3.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}, 0},
};

// Intercooler efficiency (%)
constexpr ComponentChoice kIntercoolers[] = {
    {33310, 0, "None", {0.0f}, 0},
    {33311, 0, nullptr, {10.0f}, 0},
    {33312, 0, nullptr, {20.0f}, 0},
    {33313, 0, nullptr, {30.0f}, 0},
    {33314, 0, nullptr, {40.0f}, 0},
    {33315, 0, nullptr, {50.0f}, 0},
    {33316, 0, nullptr, {60.0f}, 0},
    {33317, 0, nullptr, {70.0f}, 0},
    {33318, 0, nullptr, {80.0f}, 0},
    {33319, 0, nullptr, {90.0f}, 0},
    {33320, 0, nullptr, {100.0f}, 0},
    {33321, 0, nullptr, {110.0f}, 0},
    {33322, 0, nullptr, {120.0f}, 0},
    {33323, 0, nullptr, {130.0f}, 0},
    {33324, 0, nullptr, {140.0f}, 0},
    {33325, 0, nullptr, {150.0f}, 0},
};

// Fuels: nitrous flow (lbs/min)
constexpr ComponentChoice kFuels[] = {
    {32826, 1, "Gasoline", {0.0f}, 0},
    {32827, 3, "Gasoline/Nitrous", {1.0f}, 0},
    {32828, 4, "Gasoline/Nitrous", {2.0f}, 0},
    {32829, 5, "Gasoline/Nitrous", {4.0f}, 0},
    {32830, 6, "Gasoline/Nitrous", {8.0f}, 0},
    {32831, 7, "Gasoline/Nitrous", {12.0f}, 0},
    {32832, 8, "Gasoline/Nitrous", {16.0f}, 0},
    {32833, 10, "Methanol", {0.0f}, 0},
    {32834, 19, "Ethanol", {0.0f}, 0},
    {32835, 20, "Propane", {0.0f}, 0},
    {32836, 21, "LNG", {0.0f}, 0},
};

// Exhaust systems
constexpr ComponentChoice kExhaustSystems[] = {
    {32861, 1, "Stock Manifolds And Mufflers", {}, 0},
    {32862, 2, "H.P. Manifolds And Mufflers", {}, 0},
    {32863, 3, "Small-Tube Headers With Mufflers", {}, 0},
    {32864, 4, "Small-Tube Headers Open Exhaust", {}, 0},
    {32865, 5, "Large-Tube Headers With Mufflers", {}, 0},
    {32866, 6, "Large-Tube Headers Open Exhaust", {}, 0},
    {32867, 7, "Large Stepped-Tube Race Headers", {}, 0},
};

// Cam type profiles: nominal IVO, IVC, EVO, EVC (crank degrees, seat-to-seat)
constexpr ComponentChoice kCamTypes[] = {
    {32891, 1, "Stock Street/Economy", {12.0f, 62.0f, 66.0f, 10.0f}, 0},
    {32892, 2, "High Performance Street", {31.0f, 67.0f, 67.0f, 31.0f}, 0},
    {32893, 3, "Dual Purpose Street", {32.0f, 70.0f, 70.0f, 32.0f}, 0},
    {32894, 4, "Drag-Race Circle-Track", {42.0f, 74.0f, 77.0f, 45.0f}, 0},
    {32895, 5, "Drag-Race High-Speed", {52.0f, 88.0f, 88.0f, 52.0f}, 0},
    {32896, 6, "Custom Cam Type", {}, 0},
};

// Cam timing methods
constexpr ComponentChoice kTimingMethods[] = {
    {32900, 1, "Seat-To-Seat", {}, 0},
    {32901, 2, "0.050-Lift", {}, 0},
};

// Lifter types
constexpr ComponentChoice kLifterTypes[] = {
    {32897, 1, "Hyd.", {}, 0},
    {32898, 2, "Solid", {}, 0},
    {32899, 3, "Roller", {}, 0},
};

// The cylinder head that airflow data of the user's own sets.
constexpr ComponentChoice kUserAirflowHead = {32811, 17, "User Entered Airflow Data", {}, 0};
// clang-format on

// The groups' rows in the order of ChoiceGroup.
constexpr std::span<const ComponentChoice> kGroupRows[] = {
    kShortBlocks,      kCylinderHeads,     kIntakeValveDiameters, kExhaustValveDiameters,
    kIntakeValveLifts, kExhaustValveLifts, kCompressionRatios,    kInduction,
    kManifolds,        kForcedInduction,   kIntercoolers,         kFuels,
    kExhaustSystems,   kCamTypes,          kTimingMethods,        kLifterTypes,
};
static_assert(std::size(kGroupRows) == std::size(kChoiceGroups));

constexpr std::size_t CountRows()
{
    std::size_t count = 1;  // the user airflow head
    for (std::span<const ComponentChoice> rows : kGroupRows) count += rows.size();
    return count;
}
static_assert(CountRows() == kComponentChoiceCount);

// Every row in one array, so that each row has one address: the groups'
// rows, then the user airflow head.
constexpr auto kAllRows = [] {
    std::array<ComponentChoice, kComponentChoiceCount> all{};
    std::size_t n = 0;
    for (std::span<const ComponentChoice> rows : kGroupRows) {
        for (const ComponentChoice& row : rows) all[n++] = row;
    }
    all[n] = kUserAirflowHead;
    return all;
}();

// Where each group starts in kAllRows.
constexpr auto kGroupStarts = [] {
    std::array<std::size_t, std::size(kGroupRows)> starts{};
    std::size_t start = 0;
    for (std::size_t g = 0; g < starts.size(); ++g) {
        starts[g] = start;
        start += kGroupRows[g].size();
    }
    return starts;
}();

std::size_t GroupNumber(ChoiceGroup group)
{
    const auto number = static_cast<std::size_t>(group);
    TORQ_ASSERT(number < std::size(kGroupRows));
    return number;
}

}  // namespace

std::span<const ComponentChoice> ChoicesOf(ChoiceGroup group)
{
    const std::size_t g = GroupNumber(group);
    return std::span<const ComponentChoice>(kAllRows).subspan(kGroupStarts[g], kGroupRows[g].size());
}

bool IsChoice(Choice choice)
{
    return choice.index >= 0 && static_cast<std::size_t>(choice.index) < ChoicesOf(choice.group).size();
}

const ComponentChoice& ChoiceRow(Choice choice)
{
    TORQ_ASSERT(IsChoice(choice));
    return ChoicesOf(choice.group)[static_cast<std::size_t>(choice.index)];
}

const ComponentChoice& UserAirflowHeadRow()
{
    return kAllRows.back();
}

std::span<const ComponentChoice> ComponentChoices()
{
    return kAllRows;
}

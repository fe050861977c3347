// Prints what libphonenumber knows about calling codes, for generate.py:
//   region,<ISO region>,<country calling code>     for every supported region
//   npa,<ISO region>,<area code>                   for every North American area code valid in
//                                                  one of the regions given on the command line
//   check,<ISO region>,<area code>,<0|1>           for every "REGION,AREA" pair read from stdin
//                                                  (with --check): 1 when libphonenumber agrees
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>

#include <cstring>
#include <iostream>
#include <set>
#include <string>

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

namespace {

// True when some subscriber number under the area code is valid for the region. Small islands
// allow only a few exchanges, so every exchange is tried.
bool areaCodeBelongsTo(const PhoneNumberUtil &util, const std::string &region, int areaCode)
{
    for (int exchange = 200; exchange < 1000; ++exchange) {
        PhoneNumber number;
        number.set_country_code(1);
        number.set_national_number(areaCode * 10000000ULL + exchange * 10000ULL + 1234ULL);
        if (util.IsValidNumberForRegion(number, region))
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    const PhoneNumberUtil &util = *PhoneNumberUtil::GetInstance();
    const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
    if (check) {
        std::string line;
        while (std::getline(std::cin, line)) {
            const auto comma = line.find(',');
            if (comma == std::string::npos)
                continue;
            const std::string region = line.substr(0, comma);
            const int areaCode = std::stoi(line.substr(comma + 1));
            std::cout << "check," << region << ',' << areaCode << ','
                      << areaCodeBelongsTo(util, region, areaCode) << '\n';
        }
        return 0;
    }

    std::set<std::string> regions;
    util.GetSupportedRegions(&regions);
    for (const auto &region : regions)
        std::cout << "region," << region << ',' << util.GetCountryCodeForRegion(region) << '\n';

    for (int i = 1; i < argc; ++i) {
        for (int areaCode = 200; areaCode < 1000; ++areaCode) {
            PhoneNumber number;
            number.set_country_code(1);
            number.set_national_number(areaCode * 10000000ULL + 2345678ULL);
            if (util.IsValidNumberForRegion(number, argv[i]))
                std::cout << "npa," << argv[i] << ',' << areaCode << '\n';
        }
    }
    return 0;
}

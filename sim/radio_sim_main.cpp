// SPDX-License-Identifier: GPL-3.0-or-later
// quilvar-radio-sim: a simulated radio on a pseudo-terminal, or the network radio on a TCP
// port of the loopback address, tuned and faulted from a console on standard input.

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "link/civ_codec.h"
#include "link/receiver_models.h"
#include "sim/console_words.h"
#include "sim/net_radio.h"
#include "sim/pty_radio.h"

namespace {

constexpr const char* kProgram = "quilvar-radio-sim";
constexpr int kUsageExit = 2;

constexpr const char* kUsage =
    "usage: quilvar-radio-sim --model NAME [--address HEX] [--freq HZ] [--mode NAME]\n"
    "                         [--no-echo] [--link PATH]\n"
    "       quilvar-radio-sim --net PORT [--model rigctl] [--freq HZ] [--mode NAME]\n"
    "  --model NAME   a radio of the model table, e.g. IC-R75 or FT-817\n"
    "  --net PORT     the network radio (rigctl) on 127.0.0.1:PORT; 0 picks a free port\n"
    "  --address HEX  CI-V address, 01 to EF except E0 (default: the model's)\n"
    "  --freq HZ      starting frequency in hertz (default 7000000; with --net up to\n"
    "                 999999999999)\n"
    "  --mode NAME    starting mode from the model's mode table (default: its first;\n"
    "                 USB with --net)\n"
    "  --no-echo      no CI-V bus echo of the controller's bytes\n"
    "  --link PATH    a symbolic link to the pseudo-terminal, removed at exit\n"
    "Console (standard input): freq HZ, mode NAME, ng on|off, silent on|off,\n"
    "split on|off, noise N, quit. Noise bytes are random and may cost the next frame.\n"
    "With --net also: mode NAME PASSBAND; answer TEXT, the next answer replaced by TEXT\n"
    "(escapes \\n \\r \\\\ \\xHH; \\x20 for a space at either end); close, the\n"
    "client's connection dropped.\n";

// The options as given, before they are read for one kind of radio.
struct Given {
  std::optional<std::string> model, address, freq, mode, link, net;
  bool noEcho = false;
};

struct Arguments {
  std::optional<uint16_t> net;  // the network radio on this port instead of a line
  SimRadioOptions radio;
  SimRigctlOptions rigctl;
  std::string link;
};

int Usage(const std::string& problem) {
  std::cerr << kProgram << ": " << problem << "\n" << kUsage;
  return kUsageExit;
}

std::string ModelNames() {
  std::string names;
  for (int i = 0; i < kModelCount; ++i) {
    if (IsNoneModel(i)) continue;
    names += names.empty() ? "" : ", ";
    names += kReceiverModels[i].name;
  }
  return names;
}

// Frame bytes (E0 the controller, F0 up the frame's own codes) cannot be a radio's address.
std::optional<int> ParseAddress(std::string text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text = text.substr(2);
  }
  if (text.empty() || text.size() > 2) return std::nullopt;
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < 0x01 || value > 0xEF || value == kCivControllerAddress) return std::nullopt;
  return value;
}

std::optional<uint64_t> ParseDecimal(const std::string& text) {
  uint64_t value = 0;
  if (!ParseUnsigned(text, &value)) return std::nullopt;
  return value;
}

std::optional<uint16_t> ParsePort(const std::string& text) {
  std::optional<uint64_t> value = ParseDecimal(text);
  if (!value || *value > 65535) return std::nullopt;
  return static_cast<uint16_t>(*value);
}

// Returns 0 with the options collected, or the exit code after a message.
int Collect(int argc, char** argv, Given* given) {
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--no-echo") {
      given->noEcho = true;
      continue;
    }
    std::optional<std::string>* value = nullptr;
    if (option == "--model") value = &given->model;
    if (option == "--address") value = &given->address;
    if (option == "--freq") value = &given->freq;
    if (option == "--mode") value = &given->mode;
    if (option == "--link") value = &given->link;
    if (option == "--net") value = &given->net;
    if (value == nullptr) return Usage("unknown option \"" + option + "\"");
    if (i + 1 >= argc || argv[i + 1][0] == '\0') return Usage(option + " needs a value");
    *value = argv[++i];
  }
  return 0;
}

int ParseNetwork(const Given& given, Arguments* args) {
  args->net = ParsePort(*given.net);
  if (!args->net) return Usage("bad port \"" + *given.net + "\": 0 to 65535");
  if (given.model) {
    int index = ModelIndexByName(*given.model);
    if (ModelAt(index).name != *given.model || !IsNetworkModel(index)) {
      return Usage("--net serves the rigctl model only, not \"" + *given.model + "\"");
    }
  }
  if (given.address) return Usage("--address is for CI-V radios, not with --net");
  if (given.link) return Usage("--link is for a pseudo-terminal, not with --net");
  if (given.noEcho) return Usage("--no-echo is for CI-V radios, not with --net");
  if (given.freq) {
    std::optional<uint64_t> hz = ParseDecimal(*given.freq);
    if (!hz || !SimRigctl::FrequencyFits(*hz)) {
      return Usage("bad frequency \"" + *given.freq + "\" for rigctl");
    }
    args->rigctl.frequency = *hz;
  }
  if (given.mode) {
    ModeLookup lookup = ModeCodeByName(ModesNetwork, *given.mode);
    if (!lookup.found) return Usage("no mode \"" + *given.mode + "\" on rigctl");
    args->rigctl.modeCode = lookup.code;
  }
  return 0;
}

// Returns 0 with the arguments filled in, or the exit code after a message.
int Parse(int argc, char** argv, Arguments* args) {
  Given given;
  if (int code = Collect(argc, argv, &given); code != 0) return code;
  if (given.net) return ParseNetwork(given, args);
  args->link = given.link.value_or("");
  args->radio.echo = !given.noEcho;
  if (!given.model) return Usage("--model is required");

  int index = ModelIndexByName(*given.model);
  if (kReceiverModels[index].name != *given.model || IsNoneModel(index)) {
    return Usage("unknown model \"" + *given.model + "\"; models: " + ModelNames());
  }
  const ReceiverModel& row = kReceiverModels[index];
  if (IsNetworkModel(index)) return Usage(std::string(row.name) + " is served with --net PORT");
  args->radio.modelIndex = index;

  if (given.address) {
    if (IsCatModel(index)) return Usage(std::string(row.name) + " is a CAT radio: no address");
    std::optional<int> value = ParseAddress(*given.address);
    if (!value) return Usage("bad address \"" + *given.address + "\"");
    args->radio.address = *value;
  }
  if (given.freq) {
    std::optional<uint64_t> hz = ParseDecimal(*given.freq);
    if (!hz || !SimRadio::FrequencyFits(index, *hz)) {
      return Usage("bad frequency \"" + *given.freq + "\" for " + row.name);
    }
    args->radio.frequency = static_cast<uint32_t>(*hz);
  }
  if (given.mode) {
    ModeLookup lookup = ModeCodeByName(row.modes, *given.mode);
    if (!lookup.found) return Usage("no mode \"" + *given.mode + "\" on " + row.name);
    args->radio.modeCode = lookup.code;
  }
  return 0;
}

// A console line; returns false for "quit".
template <class Radio>
bool Console(Radio& radio, const std::string& rawLine) {
  std::string line = rawLine;
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos) return true;
  line = line.substr(start);
  if (line == "quit") return false;
  std::string reason;
  if (!radio.Command(line, &reason)) std::cerr << kProgram << ": " << reason << std::endl;
  return true;
}

// Serves until "quit", the end of standard input, or a signal (returned, 0 for none).
template <class Radio>
int ServeConsole(Radio& radio, int signals) {
  std::string buffer;
  pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {signals, POLLIN, 0}};
  for (;;) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return 0;
    }
    if (fds[1].revents & POLLIN) {
      signalfd_siginfo info{};
      if (read(signals, &info, sizeof(info)) == sizeof(info))
        return static_cast<int>(info.ssi_signo);
    }
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      char chunk[1024];
      ssize_t n = read(STDIN_FILENO, chunk, sizeof(chunk));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (!buffer.empty()) Console(radio, buffer);
        return 0;
      }
      buffer.append(chunk, static_cast<size_t>(n));
      for (size_t end; (end = buffer.find('\n')) != std::string::npos;) {
        std::string line = buffer.substr(0, end);
        buffer.erase(0, end + 1);
        if (!Console(radio, line)) return 0;
      }
    }
  }
}

// Each returns what ServeConsole does, or -1 when the radio could not start.
int ServeLine(const Arguments& args, int signals) {
  PtyRadio radio(args.radio);
  if (!radio.Start(args.link)) {
    std::cerr << kProgram << ": " << radio.error() << std::endl;
    return -1;
  }
  const ReceiverModel& row = kReceiverModels[args.radio.modelIndex];
  char address[8];
  std::snprintf(
      address, sizeof(address), "0x%02X",
      args.radio.address < 0 ? row.defaultAddress : static_cast<unsigned>(args.radio.address));
  std::cout << kProgram << ": " << row.name << " at "
            << (IsCatModel(args.radio.modelIndex) ? "CAT" : address) << " on " << radio.slavePath()
            << std::endl;
  int signal = ServeConsole(radio, signals);
  radio.Stop();
  return signal;
}

int ServeNetwork(const Arguments& args, int signals) {
  NetRadio radio(args.rigctl);
  if (!radio.Start(*args.net)) {
    std::cerr << kProgram << ": " << radio.error() << std::endl;
    return -1;
  }
  std::cout << kProgram << ": " << ModelAt(ModelIndexById(ModelId::kNetwork)).name
            << " on 127.0.0.1:" << radio.port() << std::endl;
  int signal = ServeConsole(radio, signals);
  radio.Stop();
  return signal;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (int code = Parse(argc, argv, &args); code != 0) return code;

  // Signals are taken as events, so the link is removed and clients see their connection
  // closed on the way out; blocked before the serving thread starts, so it inherits the mask.
  sigset_t mask;
  sigemptyset(&mask);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&mask, s);
  pthread_sigmask(SIG_BLOCK, &mask, nullptr);
  int signals = signalfd(-1, &mask, SFD_CLOEXEC);
  if (signals < 0) {
    std::perror("signalfd");
    return 1;
  }
  std::signal(SIGPIPE, SIG_IGN);

  int signal = args.net ? ServeNetwork(args, signals) : ServeLine(args, signals);
  if (signal < 0) return 1;
  if (signal != 0) {
    // Die of the signal, as the shell that sent it expects.
    std::signal(signal, SIG_DFL);
    pthread_sigmask(SIG_UNBLOCK, &mask, nullptr);
    raise(signal);
  }
  return 0;
}

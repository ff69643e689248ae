#include "modify_request.h"

#include <limits>

#include "crash_reports/application_error.h"
#include "inet_address.h"
#include "integer_text.h"
#include "card_field_texts.h"

namespace kestrum {
namespace {

std::uint32_t AddressOf(const QString& text) { return orvell::InetAddr(ToSystemCodePage(text).constData()); }

std::int32_t IntegerOf(const QString& text) {
  const std::optional<std::int32_t> value = ParseIntegerText(text);
  // The message quotes only the beginning: an edit holds far more than a
  // message box can show on one screen.
  if (!value) throw ConversionError::NotAnInteger(QuotedBeginning(text));
  return *value;
}

// The card keeps the heartbeat in one byte and the port in two: a value that
// does not fit is refused rather than cut to its low bits.
template <typename CardField>
CardField CardFieldOf(const QString& text, const QString& what) {
  const std::int32_t value = IntegerOf(text);
  constexpr std::int32_t kLargest = std::numeric_limits<CardField>::max();
  if (value < 0 || value > kLargest) {
    throw OperatorError(
        QStringLiteral("'%1' is not a valid %2 (0 to %3)").arg(QuotedBeginning(text), what, QString::number(kLargest)));
  }
  return static_cast<CardField>(value);
}

}  // namespace

ModifyRequest MakeModifyRequest(const PanelTexts& texts, const CardAddresses& current) {
  ModifyRequest request;
  orvell::parameter::ParameterChange& change = request.change;
  change.oldIp = current.ip;
  change.oldGateway = current.gateway;
  change.oldMask = current.mask;
  change.newIp = AddressOf(texts.ip);
  change.newGateway = AddressOf(texts.gateway);
  change.newMask = AddressOf(texts.mask);
  change.heartbeat = CardFieldOf<std::uint8_t>(texts.heartbeat, QStringLiteral("heartbeat value"));
  change.serverPort = CardFieldOf<std::uint16_t>(texts.port, QStringLiteral("port number"));
  request.serverIpText = ToSystemCodePage(texts.serverIp);
  request.mac = ToSystemCodePage(texts.mac);
  change.serverIp = orvell::InetAddr(request.serverIpText.constData());
  return request;
}

std::int32_t SendModifyRequest(const CardProtocol& protocol, const ModifyRequest& request) {
  const orvell::parameter::ParameterChange& change = request.change;
  return protocol.ConfigControlPara(change.oldIp, change.oldGateway, change.oldMask, request.mac.constData(),
                                    change.newIp, change.newGateway, change.newMask, request.mac.constData(),
                                    request.serverIpText.constData(), change.serverPort, change.heartbeat);
}

}  // namespace kestrum

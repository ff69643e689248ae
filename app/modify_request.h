// The parameter change the operator asks for in the details panel: the
// panel's texts, their conversion into what the library takes, and the call.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "card_protocol.h"
#include "change_checks.h"
#include "parameter_datagrams.h"

namespace kestrum {

// The texts of the panel's controls, as the operator left them.
struct PanelTexts {
  QString ip;         // ipdt_ip
  QString gateway;    // ipdt_gateway
  QString mask;       // ipdt_mask
  QString heartbeat;  // edt_heart
  QString port;       // edtremoteport
  QString serverIp;   // ip_remote
  QString mac;        // ControlMac
};

struct ModifyRequest {
  // What reaches the card; serverIp is what the library makes of
  // serverIpText.
  orvell::parameter::ParameterChange change;
  // Zero-ended texts in the system code page, as the library takes them.
  QByteArray mac;
  QByteArray serverIpText;
};

// Converts the panel's texts: each address with InetAddr; the heartbeat,
// then the port, as whole integers that must fit the card's field. Throws
// ConversionError for a text that is no integer ("'abc' is not a valid
// integer value") and OperatorError for one outside 0..255 (heartbeat) or
// 0..65535 (port); the heartbeat is judged completely before the port, so
// when both are bad the error names the heartbeat. The messages quote the
// text's QuotedBeginning.
// current: the card's addresses as it answered, which name it to the cards.
ModifyRequest MakeModifyRequest(const PanelTexts& texts, const CardAddresses& current);

// One ConfigControlPara call; 1 when a card confirmed.
std::int32_t SendModifyRequest(const CardProtocol& protocol, const ModifyRequest& request);

}  // namespace kestrum

#include "xml/XmlParser.h"

XmlParser::XmlParser(const std::string&, XmlNode*)
{
}

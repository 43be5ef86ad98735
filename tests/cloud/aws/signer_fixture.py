"""Prepares a moto server for the live signature check.

moto verifies signatures only for keys it issued itself: an IAM user's key and the
temporary credentials of an assumed role. This makes both, allows the role DynamoDB,
creates the table, and prints the temporary credentials as JSON. The caller then
switches signature checking on.
"""
import json
import sys

import boto3


def main():
    endpoint, table = sys.argv[1], sys.argv[2]
    if not endpoint.startswith(("http://127.0.0.1", "http://localhost")):
        sys.exit("refusing a non-loopback endpoint")

    def client(name, **keys):
        return boto3.client(name, endpoint_url=endpoint, region_name="us-east-1", **keys)

    iam = client("iam")
    iam.create_user(UserName="signer")
    key = iam.create_access_key(UserName="signer")["AccessKey"]
    trust = {"Version": "2012-10-17", "Statement": [
        {"Effect": "Allow", "Principal": {"AWS": "*"}, "Action": "sts:AssumeRole"}]}
    role = iam.create_role(RoleName="signer-role", AssumeRolePolicyDocument=json.dumps(trust))["Role"]
    allow = {"Version": "2012-10-17", "Statement": [{"Effect": "Allow", "Action": "dynamodb:*", "Resource": "*"}]}
    iam.put_role_policy(RoleName="signer-role", PolicyName="dynamodb", PolicyDocument=json.dumps(allow))
    allow_user = {"Version": "2012-10-17", "Statement": [{"Effect": "Allow", "Action": "*", "Resource": "*"}]}
    iam.put_user_policy(UserName="signer", PolicyName="all", PolicyDocument=json.dumps(allow_user))

    client("dynamodb").create_table(
        TableName=table,
        KeySchema=[{"AttributeName": "id", "KeyType": "HASH"}],
        AttributeDefinitions=[{"AttributeName": "id", "AttributeType": "S"}],
        BillingMode="PAY_PER_REQUEST")

    sts = client("sts", aws_access_key_id=key["AccessKeyId"], aws_secret_access_key=key["SecretAccessKey"],
                 aws_session_token=None)
    assumed = sts.assume_role(RoleArn=role["Arn"], RoleSessionName="signer")["Credentials"]
    print(json.dumps({"accessKeyId": assumed["AccessKeyId"], "secretKey": assumed["SecretAccessKey"],
                      "sessionToken": assumed["SessionToken"]}))


if __name__ == "__main__":
    main()
